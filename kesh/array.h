#pragma once

#include "kesh/assert.h"

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include <utility>
#include <vector>

namespace kesh {

namespace __ {
template <class T>
struct TArrayStub {
    std::vector<T> items;
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
        detach();
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
        boost::shared_ptr<__::TArrayStub<T> > body = boost::make_shared<__::TArrayStub<T> >();
        body->items.assign(count, fill);
        const unsigned kept = count < size() ? count : size();
        for (unsigned i = 0; i < kept; ++i)
            body->items[i] = stub_->items[i];
        stub_ = body;
    }

    void detach()
    {
        if (stub_.use_count() == 1)
            return;
        boost::shared_ptr<__::TArrayStub<T> > body = boost::make_shared<__::TArrayStub<T> >(*stub_);
        stub_ = body;
    }

private:
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
