// The program's single-instance dialogs and pages: each is created on its first request, lives
// until the program ends, and is then destroyed before the application object. A creation that
// fails is remembered: later requests get none too.
//
// Used on the GUI thread only.
#pragma once

#include <QObject>
#include <exception>
#include <functional>
#include <memory>
#include <typeindex>

namespace hv {

class SingleInstances {
public:
    // The instance of T, created on the first call; null when its creation failed.
    template <class T>
    static T* get() {
        return static_cast<T*>(find(typeid(T), [] { return std::make_unique<T>(); }));
    }
    // Makes the next creations of T fail (for tests of what the callers do without it).
    template <class T>
    static void refuse() {
        markFailed(typeid(T));
    }
    // Destroys every instance, the newest first, and forgets failures. The program calls it
    // before its application object goes; tests call it between cases.
    static void destroyAll();

private:
    static QObject* find(std::type_index type,
                         const std::function<std::unique_ptr<QObject>()>& create);
    static void markFailed(std::type_index type);
};

}  // namespace hv
