#pragma once

// Progress of one POST. The client fills its live record as the body goes
// out; callers copy it (assignment) after every step to show progress. A
// cleared record is inactive, and every accessor of an inactive record throws
// code 0 with "CHttpPostStatT::<accessor>: The post context is not active.".
//
// Counts: "Actual" ones count every body byte (part headers and boundaries
// too); the others count data bytes only (text values and file contents).

#include "httpclient/filter.h"
#include "httpclient/safe_int.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

namespace Tesmo {

// target becomes a copy of source (null for null); nothing happens when it
// already holds an equal text. When the copy cannot be made target is left
// null.
inline void AssignString(const wchar_t* source, std::unique_ptr<wchar_t[]>& target)
{
    if (!source) {
        target.reset();
        return;
    }
    if (target && std::wcscmp(target.get(), source) == 0)
        return;
    const size_t n = std::wcslen(source) + 1;
    std::unique_ptr<wchar_t[]> copy(new (std::nothrow) wchar_t[n]);
    if (copy)
        std::memcpy(copy.get(), source, n * sizeof(wchar_t));
    target = std::move(copy);
}

template <class Tool>
class CHttpPostStatT {
public:
    CHttpPostStatT() = default;
    CHttpPostStatT(const CHttpPostStatT& other) { *this = other; }
    CHttpPostStatT& operator=(const CHttpPostStatT& other)
    {
        if (this == &other)
            return *this;
        Clear();
        m_bActive = other.m_bActive;
        m_nActualTotalByte = other.m_nActualTotalByte;
        m_nActualPostedByte = other.m_nActualPostedByte;
        m_nTotalByte = other.m_nTotalByte;
        m_nPostedByte = other.m_nPostedByte;
        m_nTotalCount = other.m_nTotalCount;
        m_nPostedCount = other.m_nPostedCount;
        m_nFileCount = other.m_nFileCount;
        m_nPostedFileCount = other.m_nPostedFileCount;
        AssignString(other.m_szCurrParamName.get(), m_szCurrParamName);
        AssignString(other.m_szCurrParamFilePath.get(), m_szCurrParamFilePath);
        m_nCurrParamSize = other.m_nCurrParamSize;
        m_nCurrParamPostedByte = other.m_nCurrParamPostedByte;
        return *this;
    }
    virtual ~CHttpPostStatT() { Clear(); }

    // Never throws: whether a POST is running (the record is worth showing).
    bool IsActive() const { return m_bActive != FALSE; }

    uint32_t TotalCount() const { return checked("TotalCount", m_nTotalCount); }
    uint32_t PostedCount() const { return checked("PostedCount", m_nPostedCount); }
    uint32_t FileCount() const { return checked("FileCount", m_nFileCount); }
    uint32_t PostedFileCount() const { return checked("PostedFileCount", m_nPostedFileCount); }
    uint32_t TotalByte() const { return checked("TotalByte", m_nTotalByte); }
    uint32_t PostedByte() const { return checked("PostedByte", m_nPostedByte); }
    uint32_t ActualTotalByte() const { return checked("ActualTotalByte", m_nActualTotalByte); }
    uint32_t ActualPostedByte() const { return checked("ActualPostedByte", m_nActualPostedByte); }
    uint32_t CurrParamPostedByte() const { return checked("CurrParamPostedByte", m_nCurrParamPostedByte); }
    uint32_t CurrParamSize() const { return checked("CurrParamSize", m_nCurrParamSize); }
    // The parameter being sent: its name, and its file path (null for text).
    const wchar_t* CurrParamName() const { return checked("CurrParamName", m_szCurrParamName.get()); }
    const wchar_t* CurrParamFilePath() const { return checked("CurrParamFilePath", m_szCurrParamFilePath.get()); }
    uint32_t CurrParamRemainByte() const
    {
        active("CurrParamRemainByte");
        return FilterW([&] { return SafeSub(m_nCurrParamSize, m_nCurrParamPostedByte); });
    }
    bool CurrParamIsComplete() const { return checked("CurrParamIsComplete", m_nCurrParamSize == m_nCurrParamPostedByte); }
    bool CurrParamIsFile() const { return checked("CurrParamIsFile", m_szCurrParamFilePath != nullptr); }

    // Each throws 112 when the counts would overflow, and changes nothing.
    void _TestAddActualPostedBytes(uint32_t n) const { FilterW([&] { SafeAdd(m_nActualPostedByte, n); }); }
    void _TestAddPostedBytes(uint32_t n) const
    {
        _TestAddActualPostedBytes(n);
        FilterW([&] {
            SafeAdd(m_nPostedByte, n);
            SafeAdd(m_nCurrParamPostedByte, n);
        });
    }
    void _TestStartNewEntry(bool isFile) const
    {
        FilterW([&] {
            SafeAdd(m_nPostedCount, 1);
            if (isFile)
                SafeAdd(m_nPostedFileCount, 1);
        });
    }

    // The next parameter starts: counted, named, sized, nothing of it sent.
    void _StartNewEntry(bool isFile, const wchar_t* name, uint32_t size, const wchar_t* path)
    {
        _TestStartNewEntry(isFile);
        if (isFile) {
            ++m_nPostedFileCount;
            AssignString(path, m_szCurrParamFilePath);
        } else {
            m_szCurrParamFilePath.reset();
        }
        ++m_nPostedCount;
        AssignString(name, m_szCurrParamName);
        m_nCurrParamSize = size;
        m_nCurrParamPostedByte = 0;
    }

    void Clear()
    {
        m_bActive = FALSE;
        m_nActualTotalByte = m_nActualPostedByte = m_nTotalByte = m_nPostedByte = 0;
        m_nTotalCount = m_nPostedCount = m_nFileCount = m_nPostedFileCount = 0;
        m_szCurrParamName.reset();
        m_szCurrParamFilePath.reset();
        m_nCurrParamSize = m_nCurrParamPostedByte = 0;
    }

    // The writing side (the client) sets these directly.
    BOOL m_bActive = FALSE;
    uint32_t m_nActualTotalByte = 0;
    uint32_t m_nActualPostedByte = 0;
    uint32_t m_nTotalByte = 0;
    uint32_t m_nPostedByte = 0;
    uint32_t m_nTotalCount = 0;
    uint32_t m_nPostedCount = 0;
    uint32_t m_nFileCount = 0;
    uint32_t m_nPostedFileCount = 0;
    std::unique_ptr<wchar_t[]> m_szCurrParamName;
    std::unique_ptr<wchar_t[]> m_szCurrParamFilePath;
    uint32_t m_nCurrParamSize = 0;
    uint32_t m_nCurrParamPostedByte = 0;

private:
    void active(const char* accessor) const
    {
        if (!m_bActive)
            ThrowMessageW((L"CHttpPostStatT::" + std::wstring(accessor, accessor + std::strlen(accessor)) +
                           L": The post context is not active.")
                              .c_str());
    }
    template <class T>
    T checked(const char* accessor, T value) const
    {
        active(accessor);
        return value;
    }
};

}  // namespace Tesmo
