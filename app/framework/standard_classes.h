// Makes the standard controls and components known to the form reader by class name.
#pragma once

namespace kalvo {

void RegisterStandardClasses();

} // namespace kalvo
