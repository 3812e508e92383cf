#pragma once

#include <atomic>
#include <functional>

namespace genart {

// The stages of making a picture file, in order: the picture is drawn, encoded, then written.
enum class Stage { Drawing, Encoding, Writing };

// How far a piece of work has got: the stage it is in and the part of that stage done, 0 to 1.
// Called from the threads that do the work, one call at a time.
using Progress = std::function<void(Stage stage, double done)>;

// Set from anywhere to stop a piece of work early; whoever does it looks now and then, gives up
// and leaves nothing behind. Work given no token runs to its end.
class CancelToken {
public:
    void cancel() { cancelled_.store(true); }
    bool cancelled() const { return cancelled_.load(); }

private:
    std::atomic<bool> cancelled_{false};
};

// Whether work given `token` (or none) is to stop.
inline bool cancelled(const CancelToken* token)
{
    return token != nullptr && token->cancelled();
}

} // namespace genart
