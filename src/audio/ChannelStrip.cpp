#include "audio/ChannelStrip.h"

bool cChannelStrip::Serialise(Base::cSerialise&) { return true; }
