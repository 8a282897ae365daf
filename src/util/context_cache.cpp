#include "util/context_cache.h"

#include <atomic>
#include <vector>

namespace ContextCache {
namespace {

struct Store {
    std::vector<std::shared_ptr<void>> by_slot;
    std::vector<size_t> made;  // slots in the order their objects were made

    // Newest first: a later object may use an earlier one as it goes.
    void release() {
        while (!made.empty()) {
            by_slot[made.back()].reset();
            made.pop_back();
        }
    }
    ~Store() { release(); }
};

Store& store() {
    static Store s;
    return s;
}

}  // namespace

namespace detail {

size_t new_slot() {
    static std::atomic<size_t> next{0};
    return next++;
}

void* find(size_t slot) {
    Store& s = store();
    return slot < s.by_slot.size() ? s.by_slot[slot].get() : nullptr;
}

void* keep(size_t slot, std::shared_ptr<void> object) {
    Store& s = store();
    if (slot >= s.by_slot.size()) s.by_slot.resize(slot + 1);
    s.by_slot[slot] = std::move(object);
    s.made.push_back(slot);
    return s.by_slot[slot].get();
}

}  // namespace detail

void release() { store().release(); }

size_t size() { return store().made.size(); }

}  // namespace ContextCache
