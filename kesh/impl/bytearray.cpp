#include "kesh/bytearray.h"

#include <boost/make_shared.hpp>

#include <cstdlib>
#include <cstring>

namespace kesh {

namespace __ {

ByteArrayStub::~ByteArrayStub()
{
    if (data) byteArrayReallocate(data, 0);
}

}  // namespace __

ByteArray::ByteArray() : stub_(boost::make_shared<__::ByteArrayStub>()) {}

ByteArray::ByteArray(unsigned n) : ByteArray()
{
    resize(n);
}

unsigned ByteArray::size() const
{
    return stub_->size;
}

const unsigned char* ByteArray::data() const
{
    return stub_->data;
}

unsigned char* ByteArray::data(unsigned n)
{
    const unsigned wanted = n > size() ? n : size();
    resize(wanted);  // on a shared block this detaches, also at the same size
    if (size() != wanted || stub_.use_count() != 1) return nullptr;
    return stub_->data;
}

void ByteArray::resize(unsigned n)
{
    if (stub_.use_count() == 1) {
        if (n == stub_->size) return;
        if (n == 0) {
            __::byteArrayReallocate(stub_->data, 0);
            stub_->data = nullptr;
            stub_->size = 0;
            return;
        }
        void* block = __::byteArrayReallocate(stub_->data, n);
        if (!block) return;  // the old block is still ours and intact
        stub_->data = static_cast<unsigned char*>(block);
        stub_->size = n;
        return;
    }
    boost::shared_ptr<__::ByteArrayStub> own = boost::make_shared<__::ByteArrayStub>();
    if (n != 0) {
        void* block = __::byteArrayReallocate(nullptr, n);
        if (!block) return;
        own->data = static_cast<unsigned char*>(block);
        own->size = n;
        const unsigned kept = n < size() ? n : size();
        if (kept) std::memcpy(own->data, stub_->data, kept);
    }
    stub_ = own;
}

String ByteArray::toHex() const
{
    static const char digits[] = "0123456789abcdef";
    String text;
    // The text's length is a 32-bit count too.
    if (size() == 0 || size() > (String::npos - 1) / 2) return text;
    char* out = text.getBuffer(size() * 2);
    if (!out) return String();
    for (unsigned i = 0; i < size(); ++i) {
        out[2 * i] = digits[stub_->data[i] >> 4];
        out[2 * i + 1] = digits[stub_->data[i] & 0xF];
    }
    return text;
}

}  // namespace kesh
