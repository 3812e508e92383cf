#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace genart {

// Items passed from one stage of a pipeline to the next, in order, with room for a few: the
// stage before waits while it is full, the stage after while it is empty. Closing it ends
// both: put() then refuses, take() gives what is left and then nothing.
template <class T>
class Handoff {
public:
    explicit Handoff(std::size_t room) : room_(room) {}

    bool put(T item)
    {
        std::unique_lock hold(lock_);
        changed_.wait(hold, [this] { return closed_ || items_.size() < room_; });
        if (closed_)
            return false;
        items_.push_back(std::move(item));
        changed_.notify_all();
        return true;
    }

    std::optional<T> take()
    {
        std::unique_lock hold(lock_);
        changed_.wait(hold, [this] { return closed_ || !items_.empty(); });
        if (items_.empty())
            return std::nullopt;
        std::optional<T> item(std::move(items_.front()));
        items_.pop_front();
        changed_.notify_all();
        return item;
    }

    void close()
    {
        const std::scoped_lock hold(lock_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    std::size_t room_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<T> items_;
    bool closed_ = false;
};

} // namespace genart
