// GL objects shared for as long as the window's GL context lives: the
// programs, targets and buffers that every user of one kind shares (one text
// program per font type, the 3D graphs' common programs, the ASCII screens'
// target, the default texture program, the loading screen's pieces). Each is
// made on its first use and owned here; the run destroys them all with
// release() just before it deletes the context, so none outlives it. (Left
// unreleased, as in the tests, they go at exit, with the context still there.)
//
//   ShaderProgram& program() {
//       return ContextCache::get([] { return std::make_unique<ShaderProgram>(...); });
//   }
//
// Each `get` call in the source is its own slot: the slot is the maker's
// lambda, and a lambda expression has a type of its own. A maker may capture
// what the first use knows (a size); later calls take the object made then.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

namespace ContextCache {

namespace detail {
size_t new_slot();
// The object kept in a slot, or null.
void* find(size_t slot);
// Keeps `object` in the slot (which is empty) and returns it.
void* keep(size_t slot, std::shared_ptr<void> object);

// One slot for each maker type.
template <class Make>
size_t slot_of() {
    static const size_t slot = new_slot();
    return slot;
}
}  // namespace detail

// The object of this call site, made by `make()` (which returns a
// std::unique_ptr) on the first call and after every release().
template <class Make>
auto& get(Make&& make) {
    // A plain function's pointer type would be one slot for every function
    // of that signature.
    static_assert(std::is_class_v<std::decay_t<Make>>, "the maker is a lambda");
    using T = typename decltype(make())::element_type;
    const size_t slot = detail::slot_of<std::decay_t<Make>>();
    if (void* object = detail::find(slot)) return *static_cast<T*>(object);
    std::shared_ptr<void> made(make());
    return *static_cast<T*>(detail::keep(slot, std::move(made)));
}

// Destroys every object kept, the newest first. The context they were made
// in must be current.
void release();

// How many objects are kept.
size_t size();

}  // namespace ContextCache
