#pragma once

#include "kesh/string.h"

class CPaintView;

// The store-to-server command on view's image, all on the UI thread as a
// chain of modal dialogs: the output format (a JPEG, PNG or GIF without
// changes may go byte for byte), a temporary copy named by a new UUID in
// the user's temporary folder, the description and signature, then upload
// attempts until one succeeds or the user cancels the description, the
// returned addresses, and the temporary copy deleted. The signature is kept
// as "sign" under settingsKeyPath at each attempt. The user's image and its
// file are never changed, whatever the server does.
void StoreToServer(CPaintView& view, const kesh::String& settingsKeyPath);

// <user.temp>\<32 hexadecimal characters of a new UUID>.
kesh::String NewTemporaryUploadPath();
