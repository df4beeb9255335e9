#include "BoardModel.h"

#include <algorithm>
#include <cctype>

namespace boardsim {

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::vector<BoardModel>& BoardModels::all() {
    // Never destroyed: a board keeps a pointer to its model, and the threads that serve a board
    // (its frame worker, the library's streams) may still run while the process ends, after the
    // destructors of such tables would have run.
    static const auto* const models = new std::vector<BoardModel>{
        {"RT4207-x6B6B", "{07039751-9D61-46F3-98BD-B4B79AD56B6B}", Variant::Polling},
        {"MV3318-x7654", "{B03B64F8-3F1D-4C55-8248-F0C43B287654}", Variant::Streaming},
        {"MV3329-x5542", "{2D2D6703-7DC0-44BD-B557-60F85D4D5542}", Variant::Streaming},
    };
    return *models;
}

const BoardModel* BoardModels::find(std::string_view name) {
    for (const BoardModel& model : all()) {
        const std::string_view label = model.label;
        if (equalNoCase(name, label) || equalNoCase(name, label.substr(0, label.find("-x")))) {
            return &model;
        }
    }
    return nullptr;
}

}  // namespace boardsim
