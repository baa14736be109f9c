#include "platform/ApplicationBase.h"

#include <cstring>

#include "platform/DisplayMetrics.h"

namespace
{
bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsSeparator(char c) { return c == 0 || c == ' ' || (c >= 9 && c <= 13); }
} // namespace

cApplicationBase::cApplicationBase(const char* commandLine)
{
    const char* text = commandLine ? commandLine : "";
    mCommandLineLength = int(std::strlen(text)) + 1;
    mCommandLine = new char[mCommandLineLength];
    std::memcpy(mCommandLine, text, mCommandLineLength);
    SplitCommandLine();
}

cApplicationBase::cApplicationBase(int argumentCount, const char* const* arguments)
{
    for (int i = 0; i < argumentCount; ++i)
        mCommandLineLength += int(std::strlen(arguments[i])) + 1;
    mCommandLine = new char[mCommandLineLength > 0 ? mCommandLineLength : 1];
    mArguments = new char*[argumentCount > 0 ? argumentCount : 1];
    char* cursor = mCommandLine;
    for (int i = 0; i < argumentCount; ++i)
    {
        const size_t bytes = std::strlen(arguments[i]) + 1;
        std::memcpy(cursor, arguments[i], bytes);
        mArguments[mArgumentCount++] = cursor;
        cursor += bytes;
    }
}

cApplicationBase::~cApplicationBase()
{
    delete[] mArguments;
    delete[] mCommandLine;
}

void cApplicationBase::SplitCommandLine()
{
    const int count = CountArguments();
    mArguments = new char*[count > 0 ? count : 1];
    RecordArguments();
}

// First pass: counts the arguments and ends each one in place.
int cApplicationBase::CountArguments()
{
    int count = 0;
    bool insideQuotes = false;
    bool atSeparator = true;
    for (int i = 0; i < mCommandLineLength; ++i)
    {
        char& c = mCommandLine[i];
        if (IsQuote(c))
        {
            insideQuotes = !insideQuotes;
            continue;
        }
        if (!insideQuotes && IsSeparator(c))
        {
            if (!atSeparator)
            {
                c = 0;
                atSeparator = true;
            }
            continue;
        }
        if (atSeparator)
        {
            ++count;
            atSeparator = false;
        }
    }
    return count;
}

// Second pass: records where the arguments start and drops closing quotes.
void cApplicationBase::RecordArguments()
{
    bool insideQuotes = false;
    bool atSeparator = true;
    for (int i = 0; i < mCommandLineLength; ++i)
    {
        char& c = mCommandLine[i];
        if (IsQuote(c))
        {
            insideQuotes = !insideQuotes;
            if (!insideQuotes)
                c = 0;
            continue;
        }
        if (!insideQuotes && IsSeparator(c))
        {
            atSeparator = true;
            continue;
        }
        if (atSeparator)
        {
            mArguments[mArgumentCount++] = &c;
            atSeparator = false;
        }
    }
}

void cApplicationBase::InitDeviceClass()
{
    int32_t deviceClass = kDeviceClassDesktop;
    for (int i = 0; i < mArgumentCount; ++i)
    {
        if (cGenString::EqualsNoCase(mArguments[i], "-phone"))
            deviceClass = kDeviceClassPhone;
        else if (cGenString::EqualsNoCase(mArguments[i], "-tablet"))
            deviceClass = kDeviceClassTablet;
    }
    SetDisplayMetricsForClass(deviceClass);
}

int cApplicationBase::FindArgument(const char* text) const
{
    for (int i = 0; i < mArgumentCount; ++i)
        if (cGenString::EqualsNoCase(mArguments[i], text))
            return i;
    return -1;
}

void cApplicationBase::HandleWindowCreated(cOsWindow*) {}
bool cApplicationBase::Initialise() { return true; }
bool cApplicationBase::Shutdown() { return true; }
bool cApplicationBase::Update() { return true; }
bool cApplicationBase::Render() { return true; }
void cApplicationBase::HandleResize(bool, int32_t&, int32_t&) {}
bool cApplicationBase::HandleLowMemory() { return true; }
bool cApplicationBase::HandleDeactivate() { return true; }
bool cApplicationBase::HandleActivate() { return true; }
bool cApplicationBase::HandleTerminate() { return true; }
bool cApplicationBase::HandleEnterBackground() { return true; }
bool cApplicationBase::HandleEnterForeground() { return true; }
bool cApplicationBase::OpenDocument(const char*) { return false; }
