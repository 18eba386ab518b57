// Internal skins as a form definition holds them: a collection whose items have the stored
// skin's properties and "Data", the bytes of a skin package, written back unchanged.
#pragma once

#include "app/framework/forms/form_definition.h"
#include "skin/stored_skins.h"

namespace kalvo {

// Reads the items of an InternalSkins collection (a value of kind fvItems) into `skins`,
// replacing what it held. Name, Data, Version (a decimal text or an integer), Author,
// Description and the shadow and border values are read; the collections of unpacked
// stored skins are not part of this format. Throws std::invalid_argument naming the line
// for an unknown property or a value of the wrong kind.
void ReadStoredSkins(const TFormValue& items, TsStoredSkins& skins);

// The collection as a value of kind fvItems: the properties that differ from their
// defaults, in published order, and Data last.
TFormValue WriteStoredSkins(const TsStoredSkins& skins);

} // namespace kalvo
