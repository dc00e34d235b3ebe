// Work items computed on worker threads ahead of the thread that takes their
// results, strictly in order, with a bounded number in flight.
//
// Operations: TAwaitable, TOrderedWork (Take, Result), OnWorker.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace bitonix {

// Something a thread waits for. A window waits while it keeps handling its
// events (it asks to be woken); a terminal simply blocks.
class TAwaitable {
public:
    virtual ~TAwaitable() = default;
    virtual bool Ready() const = 0;
    // Calls `wake` once, from whichever thread makes it ready (at once, on
    // this thread, when it already is).
    virtual void OnReady(std::function<void()> wake) = 0;
    // Blocks until Ready().
    virtual void Wait() const = 0;
};

// Items 0 .. count-1 computed by `threads` worker threads, each with a
// function of its own made by `makeWorker` on that thread (so a worker may
// own a library object, say a document, that must not be shared between
// threads). Item k starts only once fewer than `window` items from k down
// are still untaken, so at most `window` results wait in memory. The owner
// takes the items in order: Take(k) hands out the awaitable of item k,
// Result(k) its value (or rethrows what the worker threw).
//
// Destroying the object stops the workers after the items they are on and
// throws away every result not taken: work done ahead is never seen.
template <typename TResult> class TOrderedWork {
public:
    using TWorker = std::function<TResult(int index)>;

    TOrderedWork(int count, int window, int threads, std::function<TWorker()> makeWorker)
        : FCount(count), FWindow(std::max(1, window)), FSlots(static_cast<std::size_t>(count)) {
        for (int t = 0; t < std::max(1, threads); ++t) {
            FThreads.emplace_back([this, makeWorker] { Run(makeWorker); });
        }
    }
    ~TOrderedWork() {
        {
            const std::lock_guard lock(FMutex);
            FStopping = true;
        }
        FChanged.notify_all();
        FThreads.clear(); // joins
    }
    TOrderedWork(const TOrderedWork&) = delete;
    TOrderedWork& operator=(const TOrderedWork&) = delete;

    int Count() const { return FCount; }

    // The awaitable of item k, the next one to take.
    TAwaitable& Take(int k) {
        FAwaited.FK = k;
        return FAwaited;
    }

    // Item k's result; waits for it if needed. Items are taken in order.
    TResult Result(int k) {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [&] { return Slot(k).Done; });
        TSlot& slot = Slot(k);
        FTaken = k + 1;
        const std::exception_ptr error = slot.Error;
        std::optional<TResult> value = std::move(slot.Value);
        slot.Value.reset();
        lock.unlock();
        FChanged.notify_all(); // one more item may start
        if (error) {
            std::rethrow_exception(error);
        }
        return std::move(*value);
    }

private:
    struct TSlot {
        bool Started = false;
        bool Done = false;
        std::optional<TResult> Value;
        std::exception_ptr Error;
        std::function<void()> Wake;
    };

    class TItem : public TAwaitable {
    public:
        explicit TItem(TOrderedWork& owner) : FOwner(owner) {}
        bool Ready() const override {
            const std::lock_guard lock(FOwner.FMutex);
            return FOwner.Slot(FK).Done;
        }
        void OnReady(std::function<void()> wake) override {
            std::unique_lock lock(FOwner.FMutex);
            if (!FOwner.Slot(FK).Done) {
                FOwner.Slot(FK).Wake = std::move(wake);
                return;
            }
            lock.unlock();
            wake();
        }
        void Wait() const override {
            std::unique_lock lock(FOwner.FMutex);
            FOwner.FChanged.wait(lock, [&] { return FOwner.Slot(FK).Done; });
        }
        int FK = 0;

    private:
        TOrderedWork& FOwner;
    };

    TSlot& Slot(int k) { return FSlots[static_cast<std::size_t>(k)]; }

    void Run(const std::function<TWorker()>& makeWorker) {
        std::optional<TWorker> work;
        for (;;) {
            int k = -1;
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [&] {
                    return FStopping || (FNext < FCount && FNext < FTaken + FWindow);
                });
                if (FStopping) {
                    return;
                }
                k = FNext++;
                Slot(k).Started = true;
            }
            std::optional<TResult> value;
            std::exception_ptr error;
            try {
                if (!work) {
                    work.emplace(makeWorker());
                }
                value.emplace((*work)(k));
            } catch (...) {
                error = std::current_exception();
            }
            std::function<void()> wake;
            {
                const std::lock_guard lock(FMutex);
                TSlot& slot = Slot(k);
                slot.Value = std::move(value);
                slot.Error = error;
                slot.Done = true;
                wake = std::move(slot.Wake);
            }
            FChanged.notify_all();
            if (wake) {
                wake();
            }
        }
    }

    const int FCount;
    const int FWindow;
    mutable std::mutex FMutex;
    mutable std::condition_variable FChanged;
    std::vector<TSlot> FSlots;
    int FNext = 0;  // the next item a worker starts
    int FTaken = 0; // items whose results were taken
    bool FStopping = false;
    TItem FAwaited{*this};
    std::vector<std::jthread> FThreads; // last: joined before the rest goes
};

// Runs `fn` on a worker thread while `await` waits for it (a window goes on
// handling events), and returns its result or rethrows what it threw.
template <typename TFn, typename TAwait> auto OnWorker(TFn fn, TAwait&& await) {
    using TResult = decltype(fn());
    TOrderedWork<TResult> work(1, 1, 1, [&fn] { return [&fn](int) { return fn(); }; });
    await(work.Take(0));
    return work.Result(0);
}

} // namespace bitonix
