#pragma once

class cDelegate;
struct cKeyboardRequest;

// What the synthesizer's editor needs of the main screen above it: the
// on-screen text keyboard for names. The application installs its host at
// start-up; without one (tests, tools) no keyboard opens.
class cAnalogueSynthUIHost
{
public:
    virtual ~cAnalogueSynthUIHost() = default;
    // Opens the keyboard; the completion is called once as (result, const
    // char* text), result 2 when the text was confirmed. False, calling
    // nothing, when no keyboard can open.
    virtual bool PromptName(const cKeyboardRequest& request, const cDelegate& completion);
};

// The installed host, or one that opens nothing.
cAnalogueSynthUIHost& GetAnalogueSynthUIHost();
// Null puts back the one that opens nothing. The caller keeps the host alive.
void SetAnalogueSynthUIHost(cAnalogueSynthUIHost* host);
