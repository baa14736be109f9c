#include "audio/KeyStripDrawer.h"

namespace
{
tKeyStripDrawerFactory gFactory = nullptr;
} // namespace

void SetKeyStripDrawerFactory(tKeyStripDrawerFactory factory) { gFactory = factory; }

cKeyStripDrawer* NewKeyStripDrawer() { return gFactory ? gFactory() : nullptr; }
