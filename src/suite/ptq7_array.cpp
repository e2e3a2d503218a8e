// Resizable arrays: one block made of a two-word header (count, capacity)
// followed by the elements; the caller's pointer points past the header.
#include "suite/ptq7_array.h"

#include <cstring>
#include <new>

namespace {

struct Header {
  int32_t count;
  int32_t capacity;
};

Header* header_of(void* p) { return reinterpret_cast<Header*>(static_cast<char*>(p) - sizeof(Header)); }

char* elements(void* p) { return static_cast<char*>(p); }

// A block with room for `capacity` elements, the count and the first
// elements (as many as fit) taken over from the old block.  The old block is
// not released here: the caller releases it after copying new elements in,
// which may come from the old block itself.
void* reallocate(void* old, int32_t capacity, int32_t size) {
  const std::size_t bytes = sizeof(Header) + static_cast<std::size_t>(capacity < 0 ? 0 : capacity) *
                                                 static_cast<std::size_t>(size);
  char* raw = static_cast<char*>(::operator new(bytes));
  Header* h = reinterpret_cast<Header*>(raw);
  h->count = 0;
  h->capacity = capacity;
  void* fresh = raw + sizeof(Header);
  if (old != nullptr) {
    const Header* oh = header_of(old);
    const int32_t keep = oh->count < capacity ? oh->count : capacity;
    if (keep > 0) std::memcpy(fresh, old, static_cast<std::size_t>(keep) * size);
    h->count = oh->count;
  }
  return fresh;
}

void release(void* p) {
  if (p != nullptr) ::operator delete(static_cast<void*>(header_of(p)));
}

// Sets the count to n, growing the block by the rule when n exceeds the
// capacity.  Returns the block that was replaced (to be released by the
// caller once it is done reading from it), or null.
[[nodiscard]] void* grow_to(void** p, int32_t n, int32_t size) {
  if (*p == nullptr) *p = reallocate(nullptr, 0, size);
  void* old = nullptr;
  if (n > header_of(*p)->capacity) {
    old = *p;
    *p = reallocate(old, n * 12 / 10 + 2, size);
  }
  header_of(*p)->count = n;
  return old;
}

}  // namespace

void ptq7array_new_(void** p) { *p = reallocate(nullptr, 0, 1); }

void ptq7array_new_size_(void** p, int32_t n, int32_t size) {
  *p = reallocate(nullptr, n * 12 / 10 + 2, size);
  header_of(*p)->count = n;
}

void ptq7array_resize_(void** p, int32_t n, int32_t size) { release(grow_to(p, n, size)); }

void ptq7array_reserve_(void** p, int32_t n, int32_t size) {
  if (*p == nullptr) *p = reallocate(nullptr, 0, size);
  void* old = *p;
  *p = reallocate(old, n, size);
  release(old);
  Header* h = header_of(*p);
  if (h->count > n) h->count = n;
}

void ptq7array_append_(void** p, const void* element, int32_t size) {
  ptq7array_append_list_(p, element, 1, size);
}

void ptq7array_append_n_(void** p, const void* element, int32_t n, int32_t size) {
  const int32_t old = *p == nullptr ? 0 : header_of(*p)->count;
  void* replaced = grow_to(p, old + n, size);
  for (int32_t k = 0; k < n; ++k) std::memcpy(elements(*p) + static_cast<std::size_t>(old + k) * size, element, size);
  release(replaced);
}

void ptq7array_append_list_(void** p, const void* list, int32_t n, int32_t size) {
  const int32_t old = *p == nullptr ? 0 : header_of(*p)->count;
  void* replaced = grow_to(p, old + n, size);
  if (n > 0) std::memcpy(elements(*p) + static_cast<std::size_t>(old) * size, list, static_cast<std::size_t>(n) * size);
  release(replaced);
}

void ptq7array_insert_(void** p, int32_t i, const void* element, int32_t size) {
  const int32_t old = *p == nullptr ? 0 : header_of(*p)->count;
  // The element is taken before anything moves: it may lie in the array.
  char small[64];
  char* held = size <= static_cast<int32_t>(sizeof small)
                   ? small
                   : static_cast<char*>(::operator new(static_cast<std::size_t>(size)));
  std::memcpy(held, element, size);
  release(grow_to(p, old + 1, size));
  char* e = elements(*p);
  std::memmove(e + static_cast<std::size_t>(i + 1) * size, e + static_cast<std::size_t>(i) * size,
               static_cast<std::size_t>(old - i) * size);
  std::memcpy(e + static_cast<std::size_t>(i) * size, held, size);
  if (held != small) ::operator delete(static_cast<void*>(held));
}

void ptq7array_delete_(void** p, int32_t i, int32_t size) {
  Header* h = header_of(*p);
  const int32_t last = h->count - 1;
  if (i != last)
    std::memcpy(elements(*p) + static_cast<std::size_t>(i) * size,
                elements(*p) + static_cast<std::size_t>(last) * size, size);
  h->count = last;
}

void ptq7array_delete_ordered_(void** p, int32_t i, int32_t size) {
  Header* h = header_of(*p);
  char* e = elements(*p);
  std::memmove(e + static_cast<std::size_t>(i) * size, e + static_cast<std::size_t>(i + 1) * size,
               static_cast<std::size_t>(h->count - i - 1) * size);
  h->count -= 1;
}

void ptq7array_delete_last_(void** p) { header_of(*p)->count -= 1; }

int32_t ptq7array_size_(void** p) { return *p == nullptr ? 0 : header_of(*p)->count; }

void ptq7array_free_(void** p) {
  release(*p);
  *p = nullptr;
}
