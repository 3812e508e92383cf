#include "animation_files/mp4_module.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

namespace genart {
namespace {

using NewAnimation = decltype(&genart_new_mp4_animation);

// The folder of the running program.
std::string programFolder()
{
    std::vector<char> path(4096);
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return {};
    std::string folder(path.data(), static_cast<std::size_t>(length));
    return folder.substr(0, folder.rfind('/'));
}

struct Module {
    NewAnimation create = nullptr;
    std::string failure; // why it could not be loaded
};

Module load()
{
    std::vector<std::string> candidates;
    if (const char* folder = std::getenv("GENART_MODULE_DIR"); folder && *folder)
        candidates.push_back(std::string(folder) + "/" + kMp4ModuleName);
    if (const std::string folder = programFolder(); !folder.empty()) {
        candidates.push_back(folder + "/" + kMp4ModuleName);
        candidates.push_back(folder + "/" GENART_MODULE_FROM_PROGRAM "/" + kMp4ModuleName);
    }
    Module module;
    module.failure = std::string("MP4 needs ") + kMp4ModuleName + ", which is not installed";
    for (const std::string& path : candidates) {
        if (::access(path.c_str(), F_OK) != 0)
            continue;
        // Kept loaded to the end: the encoders it makes run its code.
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            module.failure = path + ": " + (why ? why : "cannot be loaded");
            return module;
        }
        module.create = reinterpret_cast<NewAnimation>(::dlsym(handle, "genart_new_mp4_animation"));
        if (!module.create)
            module.failure = path + ": not genart's MP4 module";
        return module;
    }
    return module;
}

// Stands in for the encoder when the module is missing: nothing can be written.
class Unavailable final : public AnimationEncoder {
public:
    explicit Unavailable(std::string why) : why_(std::move(why)) {}
    std::string add(const QImage&) override { return why_; }
    std::string finish() override { return why_; }

private:
    std::string why_;
};

} // namespace

std::unique_ptr<AnimationEncoder> newMp4Animation(int width, int height, int fps, int crf, int fd)
{
    static const Module module = load();
    if (!module.create)
        return std::make_unique<Unavailable>(module.failure);
    if (AnimationEncoder* encoder = module.create(width, height, fps, crf, fd))
        return std::unique_ptr<AnimationEncoder>(encoder);
    return std::make_unique<Unavailable>("out of memory");
}

} // namespace genart
