#pragma once
// The polled input devices: the keyboard, the mouse and up to nine game controllers, each with
// its current and previous state, and 255 binding slots. A capture turns the next control that
// is pressed (or an axis that leaves its centre) into a control object stored in a slot.

#include "Platform/InputDevices.h"

#include <cstdint>

class CJoystickDX {
 public:
  static constexpr int32_t kMaxControllers = 9;
  static constexpr uint8_t kSlotCount = 255;
  static constexpr uint8_t kNoCapture = 255;
  static constexpr uint8_t kKeyboardDevice = 255;
  static constexpr uint8_t kMouseDevice = 254;

  enum ECaptureMode : uint32_t { kCaptureButtons = 0, kCaptureAxes = 1, kCaptureBoth = 2 };

  struct SControllerRecord {
    char instanceName[260] = {};
    char productName[260] = {};
    bool open = false;
    bool valid = false;
    SPlatformControllerState current;
    SPlatformControllerState previous;
  };
  struct SKeyboardRecord {
    bool open = false;
    bool valid = false;
    uint8_t current[256] = {};
    uint8_t previous[256] = {};
  };
  struct SMouseRecord {
    bool open = false;
    bool valid = false;
    SPlatformMouseState current;
    SPlatformMouseState previous;
  };

  class CControl;
  struct SDeviceBlock {
    int32_t controllerCount = 0;
    SControllerRecord controllers[kMaxControllers];
    SKeyboardRecord keyboard;
    SMouseRecord mouse;
    uint8_t activeCount = 0;             // the slots that hold a control, in slot order
    uint8_t active[kSlotCount] = {};
    CControl* slots[kSlotCount] = {};
  };

  // The device state a control reads; only its own device's member is set, null = released.
  struct SControlInput {
    const SPlatformControllerState* controller = nullptr;
    const uint8_t* keys = nullptr;
    const SPlatformMouseState* mouse = nullptr;
  };
  // What a control is bound to; each class fills what it has (axis, button, hat and mask...).
  struct SBinding {
    uint32_t first = 0;
    uint32_t second = 0;
  };

  class CControl {
   public:
    virtual ~CControl() = default;
    virtual void Update(const SControlInput& input) = 0;
    virtual void GetBinding(SBinding* out) const = 0;
    virtual bool IsKeyboardOrMouse() const { return false; }

    uint8_t kind = 0;
    uint8_t slot = 0;
    char name[16] = {};
    uint8_t device = 0;  // 0..8 a controller, kKeyboardDevice, kMouseDevice
    uint8_t previousPressed = 0;
    uint8_t currentPressed = 0;

   protected:
    void SetName(const char* format, ...) __attribute__((format(printf, 2, 3)));
  };

  class CButton : public CControl {
   public:
    void Update(const SControlInput& input) override;

   protected:
    virtual bool IsPressed(const SControlInput& input) const = 0;
  };

  class CAxis : public CControl {
   public:
    CAxis(uint8_t device, uint8_t axis, float deadZone);
    void Update(const SControlInput& input) override;
    void GetBinding(SBinding* out) const override;
    uint8_t axis;
    float deadZone;
    float scale;
    float value = 0.0f;
  };

  class CHardwareButton : public CButton {
   public:
    CHardwareButton(uint8_t device, uint8_t button);
    void GetBinding(SBinding* out) const override;
    uint8_t button;

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  class CPovButton : public CButton {
   public:
    CPovButton(uint8_t device, uint8_t hat, uint32_t mask);
    void GetBinding(SBinding* out) const override;
    uint8_t hat;
    uint32_t mask;  // 1 Up, 2 Right, 4 Down, 8 Left

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  class CAxisButton : public CButton {
   public:
    CAxisButton(uint8_t device, uint8_t axis, bool positive);
    void GetBinding(SBinding* out) const override;
    uint8_t axis;
    uint8_t positive;

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  class CKeyboardButton : public CButton {
   public:
    CKeyboardButton(uint8_t key, const char* keyName);
    void GetBinding(SBinding* out) const override;
    bool IsKeyboardOrMouse() const override { return true; }
    uint8_t key;

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  class CMouseButton : public CButton {
   public:
    explicit CMouseButton(uint8_t button);
    void GetBinding(SBinding* out) const override;
    bool IsKeyboardOrMouse() const override { return true; }
    uint8_t button;

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  class CMouseWheelButton : public CButton {
   public:
    explicit CMouseWheelButton(bool up);
    void GetBinding(SBinding* out) const override;
    bool IsKeyboardOrMouse() const override { return true; }
    uint8_t up;

   protected:
    bool IsPressed(const SControlInput& input) const override;
  };

  // Opens the devices. A missing keyboard or mouse is reported and the rest still works.
  CJoystickDX();
  ~CJoystickDX();
  CJoystickDX(const CJoystickDX&) = delete;
  CJoystickDX& operator=(const CJoystickDX&) = delete;

  // Reads every device, updates the bound controls, and serves a running capture.
  void Update();
  // Closes the devices and destroys every bound control.
  void Shutdown();

  // The next Update that finds a candidate fills the slot (0..254) and ends the capture.
  void StartCapture(uint8_t slot, ECaptureMode mode);
  bool IsCapturing() const { return m_captureSlot != kNoCapture; }
  CControl* GetBinding(uint8_t slot) const;

  float GetDeadZone() const { return m_deadZone; }
  void SetDeadZone(float deadZone) { m_deadZone = deadZone; }
  const char* GetKeyName(uint8_t key) const { return m_keyNames[key]; }
  const SDeviceBlock* GetData() const { return m_data; }

 private:
  void OpenKeyboardAndMouse();
  void OpenControllers();
  void ReadDevices();
  void UpdateControls();
  CControl* FindCaptureCandidate() const;
  CControl* FindAxisCandidate() const;
  CControl* FindControllerButtonCandidate() const;
  CControl* FindKeyboardOrMouseCandidate() const;
  void RebuildActiveList();

  SDeviceBlock* m_data = nullptr;
  float m_deadZone = 0.1f;
  uint8_t m_captureSlot = kNoCapture;
  ECaptureMode m_captureMode = kCaptureButtons;
  char m_keyNames[256][16] = {};  // "KB%d" unless the keyboard names the key
};

// The one instance: made at engine start-up, null when it could not be made.
CJoystickDX* CreateJoystick();
void DestroyJoystick();
CJoystickDX* GetJoystick();

// The hat's direction bits (1 Up, 2 Right, 4 Down, 8 Left) for a hat value in hundredths of a
// degree; 0 when centred (low 16 bits all set) or out of range.
uint32_t HatSector(uint32_t hatValue);
