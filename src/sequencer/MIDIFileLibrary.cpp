#include "sequencer/MIDIFileLibrary.h"

#include "platform/PlatformServices.h"

#include <glib.h>

#include <mutex>

namespace
{
void TraceLibraryMessage(const gchar*, GLogLevelFlags, const gchar* message, gpointer)
{
    DebugTrace("%s\n", message ? message : "");
}
} // namespace

void RouteMIDIFileLibraryWarnings()
{
    static std::once_flag routed;
    std::call_once(routed,
                   []
                   {
                       g_log_set_handler("libsmf",
                                         GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                                         TraceLibraryMessage, nullptr);
                   });
}
