// TComponent: the root of everything a form definition can hold. A component belongs to an
// owner that frees it; it has a name unique among its owner's components and a state that
// says whether it is being read from a definition or being destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kalvo {

class TComponent;
struct TClassInfo;
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum TComponentStateFlag : std::uint8_t {
    csLoading = 1,    // properties are being read; Loaded has not run yet
    csReading = 2,    // the reader is assigning this component's properties right now
    csDestroying = 4, // the destructor has begun
    csDesigning = 8,  // never set by this program; kept for controls that ask
};
using TComponentState = std::uint8_t;

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Throws std::invalid_argument for a name another component of the owner has.
    void SetName(const std::string& name);

    // Components this one owns, in the order they were added.
    const std::vector<TComponent*>& Components() const { return components_; }
    TComponent* FindComponent(const std::string& name) const;

    TComponentState ComponentState() const { return state_; }
    bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }
    void SetState(TComponentStateFlag flag, bool on);

    // Runs once on every component after a form definition has been read whole.
    virtual void Loaded() { SetState(csLoading, false); }

    // The class name as form definitions and the automation dump write it: the name of
    // ClassInfo().
    virtual const char* ClassName() const;
    // The published properties of the class (class_info.h).
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }

protected:
    // Owned components are destroyed in reverse order by the destructor; a derived class may
    // call this earlier, while its own members still exist.
    void DestroyComponents();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_;
    TComponentState state_ = 0;
};

} // namespace kalvo
