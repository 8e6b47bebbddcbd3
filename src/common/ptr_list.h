// CPmcPtrList<T>: the owning pointer list behind IPmcPtrList<T>, a circular
// doubly linked list around a sentinel node.
#pragma once

#include <cstdint>

#include "common/allocation.h"
#include "common/result.h"
#include "tolvcomm/ptr_list.h"
#include "tolvcomm/result_codes.h"

namespace tolv {

struct PtrListNode {
    PtrListNode* next;
    PtrListNode* previous;
    void* element;
};

// An iterator remembers its list so that one list never follows the node
// of another.
class CPmcPtrListIterator final : public IPmcPtrListIterator {
public:
    CPmcPtrListIterator(const void* list, PtrListNode* node) : list_(list), node_(node) {}
    void release() override { delete this; }
    const void* list() const { return list_; }
    PtrListNode* node() const { return node_; }
    void move_to(PtrListNode* node) { node_ = node; }

private:
    const void* list_;
    PtrListNode* node_;
};

// Stores elements unchanged and disposes of them with their release().
template <class T>
class ReleasingPolicy final : public IPmcPtrListPolicy<T> {
public:
    T* admit(T* element) override { return element; }
    void dispose(T* element) override {
        if (element != nullptr) element->release();
    }
};

template <class T>
class CPmcPtrList final : public IPmcPtrList<T> {
public:
    explicit CPmcPtrList(IPmcPtrListPolicy<T>* policy) : policy_(policy) {
        sentinel_.next = &sentinel_;
        sentinel_.previous = &sentinel_;
        sentinel_.element = nullptr;
    }
    CPmcPtrList(const CPmcPtrList&) = delete;
    CPmcPtrList& operator=(const CPmcPtrList&) = delete;

    std::int32_t add_head(T* element) override { return insert_after(&sentinel_, element); }
    std::int32_t add_tail(T* element) override { return insert_after(sentinel_.previous, element); }

    std::int32_t delete_head() override {
        if (count_ == 0) return kOk;
        policy_->dispose(unlink(sentinel_.next));
        return kOk;
    }

    std::int32_t delete_tail() override {
        if (count_ == 0) return kOk;
        policy_->dispose(unlink(sentinel_.previous));
        return kOk;
    }

    std::int32_t delete_all() override {
        while (count_ != 0) delete_head();
        return kOk;
    }

    std::uint32_t get_count() const override { return count_; }

    IPmcPtrListIterator* create_iterator(std::int32_t* result) const override {
        auto* iterator = create<CPmcPtrListIterator>(this, sentinel_.next);
        if (iterator == nullptr) return fail<IPmcPtrListIterator>(result, kErrNoMemory);
        set_result(result, kOk);
        return iterator;
    }

    void reset_iterator(IPmcPtrListIterator* iterator) const override {
        if (auto* own = mine(iterator)) own->move_to(sentinel_.next);
    }

    void release_iterator(IPmcPtrListIterator* iterator) const override {
        if (iterator != nullptr) iterator->release();
    }

    T* get_at(const IPmcPtrListIterator* iterator) const override {
        const auto* own = mine(iterator);
        if (own == nullptr || own->node() == &sentinel_) return nullptr;
        return static_cast<T*>(own->node()->element);
    }

    IPmcPtrListIterator* next(IPmcPtrListIterator* iterator) const override {
        if (auto* own = mine(iterator); own != nullptr && own->node() != &sentinel_) {
            own->move_to(own->node()->next);
        }
        return iterator;
    }

    void detach_at(IPmcPtrListIterator* iterator) override {
        auto* own = mine(iterator);
        if (own == nullptr || own->node() == &sentinel_) return;
        PtrListNode* following = own->node()->next;
        unlink(own->node());
        own->move_to(following);
    }

    IPmcPtrListPolicy<T>* get_policy() override { return policy_; }

    void release() override {
        delete_all();
        delete this;
    }

private:
    ~CPmcPtrList() = default;

    // Iterators of another list (or of another kind) are ignored.
    CPmcPtrListIterator* mine(const IPmcPtrListIterator* iterator) const {
        auto* own = dynamic_cast<const CPmcPtrListIterator*>(iterator);
        if (own == nullptr || own->list() != this) return nullptr;
        return const_cast<CPmcPtrListIterator*>(own);
    }

    std::int32_t insert_after(PtrListNode* position, T* element) {
        if (element == nullptr) return kErrBadArgument;
        T* admitted = policy_->admit(element);
        if (admitted == nullptr) return kErrNoMemory;
        auto* node = static_cast<PtrListNode*>(allocate(sizeof(PtrListNode)));
        if (node == nullptr) return kErrNoMemory;
        node->element = admitted;
        node->previous = position;
        node->next = position->next;
        position->next->previous = node;
        position->next = node;
        ++count_;
        return kOk;
    }

    T* unlink(PtrListNode* node) {
        node->previous->next = node->next;
        node->next->previous = node->previous;
        T* element = static_cast<T*>(node->element);
        deallocate(node);
        --count_;
        return element;
    }

    IPmcPtrListPolicy<T>* policy_;
    PtrListNode sentinel_;
    std::uint32_t count_ = 0;
};

// A list whose elements are released when they are deleted.
template <class T>
IPmcPtrList<T>* create_releasing_list(std::int32_t* result) {
    static ReleasingPolicy<T> policy;
    auto* list = create<CPmcPtrList<T>>(&policy);
    if (list == nullptr) return fail<IPmcPtrList<T>>(result, kErrNoMemory);
    set_result(result, kOk);
    return list;
}

}  // namespace tolv
