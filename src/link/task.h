#pragma once
// Work on a port written in order, as a coroutine: it runs until it waits
// for the wire, then lets the event loop go on (a window keeps painting,
// q51ctl serves its other ports). Many tasks thus share one thread and one
// event loop, each waiting on its own signals and timers. Destroying a task
// stops it where it waits: the objects it waits on are destroyed with it and
// it never resumes.

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include <QTimer>

namespace q51 {

template <typename T>
class Task {
public:
    struct promise_type {
        std::optional<T> value;
        std::coroutine_handle<> continuation; // the task awaiting this one
        std::function<void()> onFinished;     // for a task no other awaits

        Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
        std::suspend_always initial_suspend() noexcept { return {}; }
        struct FinalAwaiter {
            bool await_ready() noexcept { return false; }
            std::coroutine_handle<> await_suspend(std::coroutine_handle<promise_type> self) noexcept
            {
                promise_type &promise = self.promise();
                if (promise.continuation)
                    return promise.continuation;
                if (promise.onFinished)
                    promise.onFinished();
                return std::noop_coroutine();
            }
            void await_resume() noexcept {}
        };
        FinalAwaiter final_suspend() noexcept { return {}; }
        void return_value(T v) { value = std::move(v); }
        void unhandled_exception() { std::terminate(); }
    };

    Task(Task &&other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task &operator=(Task &&other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task &) = delete;
    Task &operator=(const Task &) = delete;
    ~Task() { reset(); }

    // Runs a task no other awaits up to its first wait; onFinished is told
    // when it ends and must not destroy the task from inside the call.
    void start(std::function<void()> onFinished)
    {
        handle_.promise().onFinished = std::move(onFinished);
        handle_.resume();
    }
    [[nodiscard]] bool done() const { return handle_ && handle_.done(); }
    [[nodiscard]] const T &result() const { return *handle_.promise().value; }

    // co_await task: runs it and yields its value.
    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> caller) noexcept
    {
        handle_.promise().continuation = caller;
        return handle_;
    }
    T await_resume() { return std::move(*handle_.promise().value); }

private:
    explicit Task(std::coroutine_handle<promise_type> handle) : handle_(handle) {}
    void reset()
    {
        if (handle_)
            handle_.destroy();
        handle_ = {};
    }

    std::coroutine_handle<promise_type> handle_;
};

// co_await WhenGiven<T>(start): start(give) sets the work going and
// arranges for give(value) to be called once at its end, from the event
// loop. The task resumes on a later pass of the loop, never inside the
// signal handler that gave the value, so it may destroy what gave it.
template <typename T>
class WhenGiven {
public:
    using Give = std::function<void(T)>;
    explicit WhenGiven(std::function<void(Give)> start) : start_(std::move(start)) {}
    WhenGiven(const WhenGiven &) = delete;
    WhenGiven &operator=(const WhenGiven &) = delete;
    ~WhenGiven() { state_->waiting = false; }

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> task)
    {
        state_->task = task;
        state_->waiting = true;
        start_([state = state_](T value) {
            if (!state->waiting || state->value)
                return;
            state->value = std::move(value);
            QTimer::singleShot(0, [state] {
                if (state->waiting) {
                    state->waiting = false;
                    state->task.resume();
                }
            });
        });
    }
    T await_resume() { return std::move(*state_->value); }

private:
    struct State {
        std::coroutine_handle<> task;
        std::optional<T> value;
        bool waiting = false; // false once resumed or destroyed: nothing more may resume it
    };
    std::function<void(Give)> start_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace q51
