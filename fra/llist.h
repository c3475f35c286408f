#pragma once
// LList: the application's singly linked list. Each node owns a heap copy
// of its element; the cursor remembers the node last returned by next(), so
// a list is walked with `while (T* e = list.next())` after rewind().

#include <cstdint>

template <class T> class LList {
public:
    struct node {
        node* next = nullptr;
        T* element = nullptr;
    };

    LList() = default;
    LList(const LList&) = delete;
    LList& operator=(const LList&) = delete;
    LList(LList&& other) noexcept : head(other.head), cursor(other.cursor), count(other.count)
    {
        other.head = other.cursor = nullptr;
        other.count = 0;
    }
    virtual ~LList()
    {
        while (head)
            remove_first();
    }

    void append(const T& element)
    {
        node* n = new node{nullptr, new T(element)};
        if (!head) {
            head = n;
        } else {
            node* last = head;
            while (last->next)
                last = last->next;
            last->next = n;
        }
        ++count;
    }

    // Advances the cursor (to the head on the first call) and returns its
    // element, or nullptr past the end.
    T* next()
    {
        cursor = cursor ? cursor->next : head;
        return cursor ? cursor->element : nullptr;
    }

    void rewind() { cursor = nullptr; }

    void remove_first()
    {
        node* first = head;
        if (!first)
            return;
        if (cursor == first)
            cursor = nullptr;
        head = first->next;
        delete first->element;
        delete first;
        --count;
    }

    void clear()
    {
        while (head)
            remove_first();
        cursor = nullptr;
    }

    int32_t size() const { return count; }
    bool empty() const { return count == 0; }

    node* head = nullptr;
    node* cursor = nullptr;
    int32_t count = 0;
};
