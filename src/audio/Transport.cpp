#include "audio/Transport.h"

cTransport gTransport;
