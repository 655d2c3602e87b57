#pragma once

// The progress dialog's window-free rules: the stage line, the progress
// bar and byte counts, and the judgement of the server's configuration and
// answer documents.

#include "kesh/array.h"
#include "kesh/string.h"

// The stage line's text when a stage begins; null for stages that leave it
// as it is (4, 7 and unknown ones).
const wchar_t* UploadStageText(unsigned stage);

// The progress bar's position, 0 to 100: posted x 100 / total in 64 bits;
// 0 when total is 0.
int ProgressPosition(unsigned posted, unsigned total);
// "posted/total", each as FormatByteSize gives it.
kesh::String ProgressBytesText(unsigned posted, unsigned total);

// The answer to a configuration document: the address to post to, or why
// the upload cannot go on.
struct ConfigurationVerdict {
    bool ok = false;
    kesh::String entry;    // when ok
    kesh::String failure;  // otherwise
};

// Reads a configuration document: an optional <limit size="" pixel="">
// and the required <entry> among the root's direct children (names in any
// letter case, the first of each counts). A file larger than size bytes,
// compared unsigned with the limit widened with its sign (so a negative
// size never refuses), or width x height (64 bits) above pixel refuses
// the image. Text that is not XML, or an entry missing or empty, is an
// unrecognised reply.
ConfigurationVerdict CheckConfiguration(const kesh::String& body, unsigned long long fileSize, int width, int height);

// The answer to a server's reply to the upload: the pages it stored (title,
// address), or why it refused.
struct AnswerVerdict {
    bool ok = false;
    kesh::String failure;
    kesh::TArray<kesh::StringPair> addresses;
};

// Reads a reply: <result code=""> among the root's children, code 0 (an
// empty or non-numeric one too) meaning success; any other code refuses
// with the result's text. On success <content> holds one <url title="">
// per page, the text being the address; none is allowed. Text that is not
// XML, or no result, or success without content, is an unrecognised reply.
AnswerVerdict ReadAnswer(const kesh::String& body);
