#pragma once

#include "kesh/string.h"

// The client id that names this installation to the upload server: 32
// lower-case hexadecimal characters (a time-based UUID), kept in the file
// "My Norpa/oid" under the user's documents folder ("user.home").

// home\My Norpa\oid.
kesh::String ClientIdPathUnder(const kesh::String& home);

// The id kept in the file at path, which is created when missing (its
// folder is not). A file that does not hold exactly 32 hexadecimal
// characters is overwritten with a new id, which is returned; a kept id is
// never sent in another shape. Empty when the file cannot be opened (its
// folder does not exist yet, for one).
kesh::String LoadOrCreateOidAt(const kesh::String& path);

// LoadOrCreateOidAt the file under "user.home".
kesh::String LoadOrCreateOid();
