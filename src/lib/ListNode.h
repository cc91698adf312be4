#pragma once

// One node of a LinkList. The list owns the element; destroying a node alone leaves the
// element alone.
template <class T> class ListNode {
public:
    explicit ListNode(T* element) : fPrevious(nullptr), fElement(element), fNext(nullptr) {}
    virtual ~ListNode() {}

    ListNode<T>* fPrevious; // toward the first (oldest) node
    T* fElement;
    ListNode<T>* fNext; // toward the last (newest) node
};
