#include "ProfileWriter.h"

namespace kxui {

namespace {

bool put(std::ostream& out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    out.write(bytes.constData(), bytes.size());
    return !out.fail();
}

bool put(std::ostream& out, char c) {
    out.put(c);
    return !out.fail();
}

}  // namespace

ProfileWriter::Step ProfileWriter::write(std::ostream& out, const QList<ProfileSection>& sections) {
    for (const ProfileSection& section : sections) {
        if (!put(out, section.getSectionHead())) {
            return Step::Head;
        }
        if (!put(out, '\n')) {
            return Step::LineFeed;
        }
        const auto& items = section.items();
        for (auto item = items.crbegin(); item != items.crend(); ++item) {
            if (!put(out, item->first)) {
                return Step::Key;
            }
            if (!put(out, '\t')) {
                return Step::Tab;
            }
            if (!put(out, item->second)) {
                return Step::Value;
            }
            if (!put(out, '\n')) {
                return Step::LineFeed;
            }
        }
        if (!put(out, QStringLiteral("[END]")) || !put(out, '\n')) {
            return Step::Tail;
        }
    }
    return Step::None;
}

}  // namespace kxui
