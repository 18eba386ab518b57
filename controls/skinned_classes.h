// Makes the skinned controls and the skin components known to the form reader by class name,
// together with the standard classes (RegisterStandardClasses) they derive from.
#pragma once

namespace kalvo {

void RegisterSkinnedClasses();

} // namespace kalvo
