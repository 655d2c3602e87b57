// A module that only carries a version block (editor_version_probe.rc).
extern "C" __declspec(dllexport) int editorVersionProbe() { return 1; }
