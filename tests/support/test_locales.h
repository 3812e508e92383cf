#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <locale.h>
#include <unistd.h>

namespace genart::testing {

// Whether glibc can load the locale as things stand (with LOCPATH as it is set now).
inline bool localeLoads(const std::string& name)
{
    const locale_t loaded = ::newlocale(LC_ALL_MASK, name.c_str(), nullptr);
    if (loaded == nullptr)
        return false;
    ::freelocale(loaded);
    return true;
}

// The locales that write a comma for the decimal point, where genart's numbers once changed.
inline const char* const kCommaLocales[] = {"de_DE.UTF-8", "tr_TR.UTF-8"};

// Makes the comma locales loadable in this process and the programs it starts: where the
// system has not generated them, they are compiled from the locales package's sources with
// localedef into a folder of the tests' own, kept between runs, and LOCPATH points there.
// False only when they truly cannot be made (no sources, no localedef); the caller skips then.
// All are made before any is looked for there: glibc remembers a locale it did not find.
inline bool ensureCommaLocales()
{
    const auto allLoad = [] {
        for (const char* name : kCommaLocales)
            if (!localeLoads(name))
                return false;
        return true;
    };
    if (allLoad())
        return true;
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error) / ("genart-test-locales-" + std::to_string(::getuid()));
    for (const std::string name : kCommaLocales) {
        if (fs::exists(folder / name / "LC_NUMERIC", error))
            continue;
        // Compiled beside and renamed into place, so runs at the same time never see half a locale.
        fs::create_directories(folder, error);
        const fs::path building = folder / (name + ".building-" + std::to_string(::getpid()));
        const std::string source = name.substr(0, name.find('.'));
        const std::string command = "localedef -i " + source + " -f UTF-8 '" + building.string() + "' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str()); // warnings give 1 too
        if (fs::exists(building / "LC_NUMERIC", error))
            fs::rename(building, folder / name, error);
        fs::remove_all(building, error);
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    return allLoad();
}

// Runs the block's code with the locale as this thread's, as a program that called setlocale
// with it would (Qt does, from the environment).
class ThreadLocale {
public:
    explicit ThreadLocale(const std::string& name)
        : own_(::newlocale(LC_ALL_MASK, name.c_str(), nullptr)), before_(::uselocale(own_ ? own_ : LC_GLOBAL_LOCALE))
    {
    }
    ~ThreadLocale()
    {
        ::uselocale(before_);
        if (own_)
            ::freelocale(own_);
    }
    ThreadLocale(const ThreadLocale&) = delete;
    ThreadLocale& operator=(const ThreadLocale&) = delete;
    bool active() const { return own_ != nullptr; }

private:
    locale_t own_;
    locale_t before_;
};

} // namespace genart::testing
