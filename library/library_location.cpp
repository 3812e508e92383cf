#include "library/library_location.h"

#include <cstdlib>

namespace genart {
namespace {

// An XDG base folder: the variable when it holds an absolute path (others are to be ignored),
// else `fallback` under the home folder.
std::string baseFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0')
        return {};
    return std::string(home) + '/' + fallback;
}

std::string ownFolder(const std::string& base)
{
    return base.empty() ? base : base + '/' + kOrganizationName + '/' + kApplicationName;
}

std::string inData(const char* name)
{
    const std::string folder = dataFolder();
    return folder.empty() ? folder : folder + '/' + name;
}

} // namespace

std::string dataFolder()
{
    return ownFolder(baseFolder("XDG_DATA_HOME", ".local/share"));
}

std::string cacheFolder()
{
    return ownFolder(baseFolder("XDG_CACHE_HOME", ".cache"));
}

std::string defaultLibraryPath()
{
    return inData("library.sqlite");
}

std::string oldHistoryPath()
{
    return inData("history.txt");
}

} // namespace genart
