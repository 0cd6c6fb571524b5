// Running one operation on the UI thread while the calling task waits.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <type_traits>
#include <utility>

namespace linkmill {

// Runs operation whole on the thread of ui (an object of the UI thread),
// between two of that thread's events, and returns its result; the calling
// thread blocks until then. The UI thread serves such calls also while a
// modal message box runs its own event loop. Called on the UI thread itself,
// it runs operation at once. Once the event loop has ended the call never
// returns, which is harmless: the process ends right after the loop.
template <typename Operation>
std::invoke_result_t<Operation> UiCall(QObject* ui, Operation&& operation) {
  using Result = std::invoke_result_t<Operation>;
  if (QThread::currentThread() == ui->thread()) return std::forward<Operation>(operation)();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(
        ui, [&operation] { operation(); }, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        ui, [&operation, &result] { result = operation(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace linkmill
