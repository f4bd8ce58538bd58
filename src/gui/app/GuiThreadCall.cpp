#include "gui/app/GuiThreadCall.h"

#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace brindle {

namespace {

struct Pending {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    intptr_t result = 0;
};

} // namespace

GuiThreadCall::GuiThreadCall(QObject* context)
    : context_(context), state_(std::make_shared<State>()) {}

GuiThreadCall::~GuiThreadCall() {
    Abandon();
}

intptr_t GuiThreadCall::Send(std::function<intptr_t()> work) {
    if (QThread::currentThread() == context_->thread())
        return state_->abandoned ? 0 : work();
    if (state_->abandoned)
        return 0;
    auto pending = std::make_shared<Pending>();
    auto state = state_;
    QMetaObject::invokeMethod(
        context_,
        [pending, state, work = std::move(work)] {
            intptr_t result = state->abandoned ? 0 : work();
            std::lock_guard<std::mutex> guard(pending->lock);
            pending->result = result;
            pending->finished = true;
            pending->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> guard(pending->lock);
    while (!pending->finished) {
        if (state->abandoned)
            return 0;
        pending->done.wait_for(guard, std::chrono::milliseconds(20));
    }
    return pending->result;
}

void GuiThreadCall::Post(std::function<void()> work) {
    if (state_->abandoned)
        return;
    auto state = state_;
    QMetaObject::invokeMethod(
        context_,
        [state, work = std::move(work)] {
            if (!state->abandoned)
                work();
        },
        Qt::QueuedConnection);
}

void GuiThreadCall::Abandon() {
    state_->abandoned = true;
}

} // namespace brindle
