#pragma once
// Page setup kept by export tools beside a report export: a ".json" file whose
// "Printer" item has "Orientation": "Portrait" or "Landscape", or a ".pv" file whose first
// line is the orientation number. Internal to platform/access.
#include <string>

namespace tolvaran::access::detail {

// 1 portrait, 2 landscape, 0 when the sidecar is missing or says nothing. explicitPath wins;
// when empty, "<stem>.json" and then "<stem>.pv" beside exportFile are tried.
int OrientationFromSidecar(const std::string& explicitPath, const std::string& exportFile);
// The orientation a sidecar's text gives (json: by the key "Orientation"), 0 when none.
int OrientationFromJsonText(const std::string& text);
int OrientationFromPvText(const std::string& text);

}  // namespace tolvaran::access::detail
