// The editor program's own static objects. The settings key path
// (editor/pen_settings.cpp) is made ahead of them and goes after them.
#include "editor/app/vomla_app.h"

CvomlaApp theApp;
