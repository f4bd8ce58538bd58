// Running work on the GUI thread from any thread: a send (the caller waits for the result) or a
// post (queued). A waiting send gives up, with result 0, once the window is going away, so a
// worker blocked in a send can never keep the GUI thread from tearing the window down.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace brindle {

class GuiThreadCall {
public:
    // `context` lives on the GUI thread; work queued for it is dropped when it is destroyed.
    explicit GuiThreadCall(QObject* context);
    ~GuiThreadCall();

    // On the GUI thread the work runs at once; elsewhere it is queued and waited for.
    intptr_t Send(std::function<intptr_t()> work);
    void Post(std::function<void()> work);
    // From now on sends return 0 without waiting, and waiting ones return 0 now.
    void Abandon();
    bool Abandoned() const { return state_->abandoned.load(); }

private:
    struct State {
        std::atomic<bool> abandoned{false};
    };
    QObject* context_;
    std::shared_ptr<State> state_;
};

} // namespace brindle
