// Writes profile sections to a stream: per section its head line, one "key<tab>value" line per
// item and the "[END]" line. Items are written from the back of the list to its front, the
// reverse of the order the reader puts them in, so that reading a written file gives back the
// same sections.
#pragma once

#include <QList>
#include <ostream>

#include "ProfileSection.h"

namespace kxui {

class ProfileWriter {
public:
    enum class Step { None, Head, Key, Tab, Value, LineFeed, Tail };

    // The step at which the stream failed, Step::None when everything was written.
    static Step write(std::ostream& out, const QList<ProfileSection>& sections);
};

}  // namespace kxui
