#pragma once

#include <cstdlib>
#include <string>

// Sets an environment variable for one test and restores it afterwards.
class cScopedEnv
{
public:
    cScopedEnv(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name))
        {
            mHadValue = true;
            mOld = old;
        }
        setenv(name, value, 1);
    }
    ~cScopedEnv()
    {
        if (mHadValue)
            setenv(mName.c_str(), mOld.c_str(), 1);
        else
            unsetenv(mName.c_str());
    }
    cScopedEnv(const cScopedEnv&) = delete;
    cScopedEnv& operator=(const cScopedEnv&) = delete;

private:
    std::string mName;
    std::string mOld;
    bool mHadValue = false;
};
