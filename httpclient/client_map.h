#pragma once

// The ordered multimap of a client's request headers and form parameters.
//
// Names are ordered by comparing UTF-16 units with only A-Z folded to a-z, so
// "ABC" equals "abc" and "_x" (0x5F) sorts before "a" (0x61). Entries with
// equal names keep the order they were added in; all of them are kept and
// all are sent. The map owns every name and value; a value may be null.

#include "httpclient/filter.h"
#include "httpclient/safe_int.h"

#include <cstring>
#include <cwchar>
#include <map>
#include <memory>

namespace Tesmo {

// Entry flags.
enum : DWORD {
    HttpParamFile = 1,      // the value is the path of a file whose bytes are sent
    HttpParamRawName = 2,   // the name goes into a GET URL unencoded
    HttpParamRawValue = 4,  // the value goes into a GET URL unencoded
};

struct HttpNameLess {
    static wchar_t fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; }
    bool operator()(const std::unique_ptr<wchar_t[]>& a, const std::unique_ptr<wchar_t[]>& b) const
    {
        const wchar_t* p = a.get();
        const wchar_t* q = b.get();
        while (*p && fold(*p) == fold(*q)) {
            ++p;
            ++q;
        }
        return fold(*p) < fold(*q);
    }
};

struct HttpMapEntry {
    std::unique_ptr<wchar_t[]> value;  // null for no value
    DWORD flags;
};

template <class Tool>
class CHttpClientMapT {
public:
    using Map = std::multimap<std::unique_ptr<wchar_t[]>, HttpMapEntry, HttpNameLess>;
    using const_iterator = typename Map::const_iterator;

    virtual ~CHttpClientMapT() { Clear(); }

    // Adds copies of name and value (a null value stays null).
    void Add(const wchar_t* name, const wchar_t* value, DWORD flags)
    {
        if (!name)
            ThrowMessageW(L"CHttpClientMapT::Add: szName can not be NULL.");
        std::unique_ptr<wchar_t[]> nameCopy = FilterW([&] { return copy(name); });
        std::unique_ptr<wchar_t[]> valueCopy = FilterW([&] { return copy(value); });
        AddPointerDirectly(std::move(nameCopy), std::move(valueCopy), flags);
    }

    // Takes name and value over.
    void AddPointerDirectly(std::unique_ptr<wchar_t[]> name, std::unique_ptr<wchar_t[]> value, DWORD flags)
    {
        if (!name)
            ThrowMessageW(L"CHttpClientMapT::AddPointerDirectly: szName can not be NULL.");
        try {
            SafeAdd(Count(), 1);
            entries_.emplace(std::move(name), HttpMapEntry{std::move(value), flags});
        } catch (const SafeIntError& e) {
            ThrowSafeIntErrorW(e.code);
        } catch (const std::exception& e) {
            ThrowAnsiMessageW(e.what(), HttpErrorStdException, 0);
        } catch (...) {
            ThrowErrorW(HttpErrorUnexpected);
        }
    }

    // False when the map was already empty.
    bool Clear()
    {
        if (entries_.empty())
            return false;
        entries_.clear();
        return true;
    }

    uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

private:
    static std::unique_ptr<wchar_t[]> copy(const wchar_t* text)
    {
        if (!text)
            return nullptr;
        const size_t n = SafeAdd(SafeCount(std::wcslen(text)), 1);
        std::unique_ptr<wchar_t[]> out = std::make_unique<wchar_t[]>(n);
        std::memcpy(out.get(), text, n * sizeof(wchar_t));
        return out;
    }

    Map entries_;
};

}  // namespace Tesmo
