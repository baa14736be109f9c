#pragma once

class cDrawList;
struct cKeyStripView;

// Draws the piano roll's key strip and note rows for the packages that show a
// keyboard. The drawer lives with the editors, above the engines; the
// application installs its factory at start-up, before the packages are made.
// Without one (tests of the engines, tools) a package has no drawer and its
// instruments draw no strip.
class cKeyStripDrawer
{
public:
    virtual ~cKeyStripDrawer() = default;
    virtual void Draw(cDrawList& drawList, const cKeyStripView& view) = 0;
};

using tKeyStripDrawerFactory = cKeyStripDrawer* (*)();

void SetKeyStripDrawerFactory(tKeyStripDrawerFactory factory);
// A new drawer for the caller to own; null without a factory.
cKeyStripDrawer* NewKeyStripDrawer();
