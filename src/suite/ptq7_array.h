// Resizable arrays typed only by their element size.  The caller holds a
// plain pointer to the first element; the element count and the capacity
// live in a header just before it, so the array indexes like an ordinary
// block.  Every operation takes the address of that pointer, since growing
// may move the block.  Growth: a count n beyond the capacity gives capacity
// n * 12 / 10 + 2.  New elements are not initialised.  Indexes are not
// checked: callers keep i within 0 .. count - 1 (0 .. count for insert).
#pragma once

#include <cstdint>

void ptq7array_new_(void** p);
void ptq7array_new_size_(void** p, int32_t n, int32_t size);
void ptq7array_resize_(void** p, int32_t n, int32_t size);
void ptq7array_reserve_(void** p, int32_t n, int32_t size);
void ptq7array_append_(void** p, const void* element, int32_t size);
void ptq7array_append_n_(void** p, const void* element, int32_t n, int32_t size);
void ptq7array_append_list_(void** p, const void* list, int32_t n, int32_t size);
void ptq7array_insert_(void** p, int32_t i, const void* element, int32_t size);
void ptq7array_delete_(void** p, int32_t i, int32_t size);
void ptq7array_delete_ordered_(void** p, int32_t i, int32_t size);
void ptq7array_delete_last_(void** p);
int32_t ptq7array_size_(void** p);
void ptq7array_free_(void** p);
