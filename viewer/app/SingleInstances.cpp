#include "SingleInstances.h"

#include <new>
#include <vector>

namespace hv {

namespace {

struct Entry {
    std::type_index type;
    std::unique_ptr<QObject> object;  // null when its creation failed
};

std::vector<Entry>& entries() {
    static std::vector<Entry> all;
    return all;
}

Entry* lookUp(std::type_index type) {
    for (Entry& entry : entries()) {
        if (entry.type == type) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

QObject* SingleInstances::find(std::type_index type,
                               const std::function<std::unique_ptr<QObject>()>& create) {
    if (Entry* entry = lookUp(type)) {
        return entry->object.get();
    }
    std::unique_ptr<QObject> object;
    try {
        object = create();
    } catch (const std::exception&) {
        object.reset();
    }
    entries().push_back(Entry{type, std::move(object)});
    return entries().back().object.get();
}

void SingleInstances::markFailed(std::type_index type) {
    if (Entry* entry = lookUp(type)) {
        entry->object.reset();
        return;
    }
    entries().push_back(Entry{type, nullptr});
}

void SingleInstances::destroyAll() {
    // Taken out first, so that a destructor that asks for an instance finds a clean registry.
    std::vector<Entry> doomed;
    doomed.swap(entries());
    while (!doomed.empty()) {
        doomed.pop_back();
    }
}

}  // namespace hv
