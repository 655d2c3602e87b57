#pragma once

#include "kesh/assert.h"

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace kesh {

namespace __ {

// Where the bytes behind an object made by allocate_shared begin, and how
// many there are.
struct BlockTail {
    size_t bytes;
    void* at;
};

// Lets allocate_shared put the shared count, the object and tail->bytes
// bytes more into one block of the run-time heap, and says where those bytes
// begin (tail->at, set before the object is built). Only allocate reads the
// tail: the copy kept in the block for its release never does.
template <class T>
struct TailAllocator {
    typedef T value_type;
    BlockTail* tail;
    explicit TailAllocator(BlockTail* t) : tail(t) {}
    template <class U>
    TailAllocator(const TailAllocator<U>& other) : tail(other.tail)
    {
    }
    T* allocate(size_t n)
    {
        const size_t bytes = n * sizeof(T);
        char* block = static_cast<char*>(std::malloc(bytes + tail->bytes));
        if (!block)
            throw std::bad_alloc();
        tail->at = block + bytes;
        return reinterpret_cast<T*>(block);
    }
    void deallocate(T* block, size_t) { std::free(block); }
    template <class U>
    bool operator==(const TailAllocator<U>&) const
    {
        return true;
    }
    template <class U>
    bool operator!=(const TailAllocator<U>&) const
    {
        return false;
    }
};

// The storage of a body's vector: its first request that fits takes the
// room behind the body in the body's own heap block; anything else, and
// every later growth, goes to the run-time heap.
template <class T>
class RoomAllocator {
public:
    typedef T value_type;
    RoomAllocator() = default;
    RoomAllocator(T* room, size_t count) : room_(room), count_(count) {}
    // Only the vector's own element type has room.
    template <class U>
    RoomAllocator(const RoomAllocator<U>&)
    {
    }
    T* allocate(size_t n)
    {
        if (room_ && !roomTaken_ && n <= count_) {
            roomTaken_ = true;
            return room_;
        }
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, size_t n)
    {
        if (p == room_)
            roomTaken_ = false;
        else
            std::allocator<T>().deallocate(p, n);
    }
    // A vector copied whole would share the room: a copy gets none.
    RoomAllocator select_on_container_copy_construction() const { return RoomAllocator(); }
    bool operator==(const RoomAllocator& other) const { return room_ == other.room_; }
    bool operator!=(const RoomAllocator& other) const { return room_ != other.room_; }

private:
    T* room_ = nullptr;
    size_t count_ = 0;
    bool roomTaken_ = false;
};

template <class T>
struct TArrayStub {
    std::vector<T, RoomAllocator<T> > items;

    TArrayStub() = default;
    // Holds up to count elements in the room behind it: tail is the one
    // its allocation has just filled in.
    TArrayStub(const BlockTail& tail, size_t count) : items(RoomAllocator<T>(static_cast<T*>(tail.at), count))
    {
        items.reserve(count);
    }
    TArrayStub(const TArrayStub&) = delete;
    TArrayStub& operator=(const TArrayStub&) = delete;
};

}  // namespace __

// The library's list value. Copies share one body; the first change made
// through a holder that is not the body's only one copies the body first, so
// the other holders never see it. An index at or beyond size() is a
// programming error that ends the process.
template <class T>
class TArray {
public:
    TArray() : stub_(emptyBody()) {}

    unsigned size() const { return static_cast<unsigned>(stub_->items.size()); }
    bool isEmpty() const { return stub_->items.empty(); }

    const T& at(unsigned index) const
    {
        KESH_ASSERT(index < size());
        return stub_->items[index];
    }

    // Detaches first. The reference stays valid until the next change.
    T& at(unsigned index)
    {
        KESH_ASSERT(index < size());
        detach();
        return stub_->items[index];
    }

    TArray& append(const T& item)
    {
        // item may live in this very body; copy it before a detach or a
        // reallocation can move it.
        T copy(item);
        detach();
        stub_->items.push_back(std::move(copy));
        return *this;
    }

    // The same for an item the caller gives up: moved in, not copied (no
    // count of a shared element changes).
    TArray& append(T&& item)
    {
        T moved(std::move(item));
        detach();
        stub_->items.push_back(std::move(moved));
        return *this;
    }

    // Room for count elements in the array's own body, so that appending
    // up to count elements allocates nothing more.
    void reserve(unsigned count)
    {
        if (count <= stub_->items.capacity())
            return;
        detach(count);
        stub_->items.reserve(count);
    }

    void removeAt(unsigned index)
    {
        KESH_ASSERT(index < size());
        detach();
        stub_->items.erase(stub_->items.begin() + index);
    }

    void clear()
    {
        if (stub_.use_count() == 1)
            stub_->items.clear();
        else
            stub_ = emptyBody();
    }

    void resize(unsigned count, const T& fill)
    {
        if (stub_.use_count() == 1) {
            stub_->items.resize(count, fill);
            return;
        }
        boost::shared_ptr<__::TArrayStub<T> > body = newBody(count);
        body->items.assign(count, fill);
        const unsigned kept = count < size() ? count : size();
        for (unsigned i = 0; i < kept; ++i)
            body->items[i] = stub_->items[i];
        stub_ = std::move(body);
    }

    void detach() { detach(size() + 1); }

private:
    // A body of its own for this array with room for at least count
    // elements (one more than it holds, when a change detaches it, as the
    // first append to a new array does).
    void detach(size_t count)
    {
        if (stub_.use_count() == 1)
            return;
        const std::vector<T, __::RoomAllocator<T> >& items = stub_->items;
        boost::shared_ptr<__::TArrayStub<T> > body = newBody(count > items.size() ? count : items.size());
        body->items.assign(items.begin(), items.end());
        stub_ = std::move(body);
    }

    // A body whose first count elements live in its own heap block: one
    // block for most arrays, which hold what they are first given.
    static boost::shared_ptr<__::TArrayStub<T> > newBody(size_t count)
    {
        static_assert(alignof(T) <= alignof(void*), "the room behind a body is aligned for pointers");
        __::BlockTail tail = {count * sizeof(T), nullptr};
        return boost::allocate_shared<__::TArrayStub<T> >(__::TailAllocator<__::TArrayStub<T> >(&tail), tail,
                                                         count);
    }

    // New arrays share one empty body: it always has another holder, so the
    // first change of any of them detaches. Saves a heap block per empty list.
    static const boost::shared_ptr<__::TArrayStub<T> >& emptyBody()
    {
        static const boost::shared_ptr<__::TArrayStub<T> > empty = boost::make_shared<__::TArrayStub<T> >();
        return empty;
    }

    boost::shared_ptr<__::TArrayStub<T> > stub_;
};

}  // namespace kesh
