#pragma once

#include "kesh/string.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The version check's rules, free of windows and of the network so that
// tables can test them: where the version document is, how its reply is
// read and how the version in it compares with the program's own.

// The product's web site. Tests never change it: they reach a stand-in
// through WinINet's proxy setting.
extern const wchar_t* const kWebSiteHost;

// http://<kWebSiteHost>/norpa.xml, the version document.
std::wstring VersionDocumentUrl();

// A version a.b.c.d as one value: a in bits 63..48, b in 47..32, c in
// 31..16, d in 15..0, so that versions compare as numbers.
uint64_t PackedProductVersion(const VS_FIXEDFILEINFO& info);

// Reads "a.b.c.d" into value: exactly four parts, each its leading decimal
// digits (white space and a "+" before them allowed, anything after them
// ignored; a part without any, empty or "-5" alike, is 0) and at most
// 65535. False, value untouched, for another number of parts or a part
// above 65535, which would otherwise spill into its neighbour and make an
// old version look newer.
bool ParseVersionValue(const kesh::String& text, uint64_t& value);

// What a reply to the version request tells.
struct VersionReply {
    // False: the reply cannot be used (it is not XML, or it announces a
    // newer version without an address that may be opened).
    bool recognised = false;
    // The reply's version is above own.
    bool newer = false;
    // The text of the reply's version element, white space around it
    // dropped; set whether or not the version is newer.
    kesh::String downloadAddress;
};

// Judges a reply body: its root element's first child "current" (name in
// any letter case) holds the version in its attribute "version" (any
// letter case) and the download address as its text. No such child, or a
// version ParseVersionValue refuses, is a recognised reply with nothing
// newer.
VersionReply ReadVersionReply(const kesh::String& body, uint64_t own);
