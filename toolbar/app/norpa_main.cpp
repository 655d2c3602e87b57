// The toolbar program's own static objects, in this order: the application
// object, then the settings key path (destroyed in the opposite order).
#include "toolbar/app/norpa_app.h"

CNorpaApp theApp;
const kesh::String kToolbarRegistryKey("HKEY_CURRENT_USER\\Software\\NorpaSoft\\norpa");
