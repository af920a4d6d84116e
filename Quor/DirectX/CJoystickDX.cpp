#include "Quor/DirectX/CJoystickDX.h"

#include "Quor/ReportError.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

namespace {

const char* const kCJoystickDXSource = "Quor/DirectX/CJoystickDX";

const char* const kDevicePrefixes[CJoystickDX::kMaxControllers] = {
    "", "J2 ", "J3 ", "J4 ", "J5 ", "J6 ", "J7 ", "J8 ", "J9 "};
const char* const kAxisNames[kPlatformControllerAxes] = {"X", "Y", "Z", "RX", "RY", "RZ", "U", "V"};
const char* const kHatNames[kPlatformControllerHats] = {"POV", "POV2", "POV3", "POV4"};
// 45-degree sectors clockwise from north: Up, Up+Right, Right, Right+Down, Down, Down+Left,
// Left, Left+Up.
const uint32_t kHatSectors[8] = {1, 3, 2, 6, 4, 12, 8, 9};

// Outside this band an axis counts as moved for a capture; an axis button needs 501.
constexpr int32_t kCentreBand = 500;

CJoystickDX* g_joystick = nullptr;

const char* DevicePrefix(uint8_t device) {
  return device < CJoystickDX::kMaxControllers ? kDevicePrefixes[device] : "";
}

const char* DirectionName(uint32_t mask) {
  switch (mask) {
    case 1: return "Up";
    case 2: return "Right";
    case 4: return "Down";
    default: return "Left";
  }
}

bool OutsideCentre(int32_t value) { return value < -kCentreBand || value > kCentreBand; }
bool Pressed(uint8_t state) { return (state & 0x80) != 0; }
bool WentDown(uint8_t now, uint8_t before) { return Pressed(now) && !Pressed(before); }

// Every allocation of a control may fail; the slot then stays empty.
template <typename T, typename... Args>
CJoystickDX::CControl* MakeControl(Args... args) {
  return new (std::nothrow) T(args...);
}

}  // namespace

uint32_t HatSector(uint32_t hatValue) {
  if ((hatValue & 0xFFFF) == 0xFFFF) return 0;
  const uint32_t sector = hatValue / 4500;
  // A value past a full turn comes from a confused driver: it presses nothing.
  return sector < 8 ? kHatSectors[sector] : 0;
}

// ---- Controls -------------------------------------------------------------------------------

void CJoystickDX::CControl::SetName(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(name, sizeof name, format, args);
  va_end(args);
}

void CJoystickDX::CButton::Update(const SControlInput& input) {
  previousPressed = currentPressed;
  currentPressed = IsPressed(input) ? 1 : 0;
}

CJoystickDX::CAxis::CAxis(uint8_t deviceIndex, uint8_t axisIndex, float zone)
    : axis(axisIndex), deadZone(zone), scale(1.0f / (1.0f - zone)) {
  kind = 1;
  device = deviceIndex;
  SetName("%s%s", DevicePrefix(device), kAxisNames[axis % kPlatformControllerAxes]);
}

void CJoystickDX::CAxis::Update(const SControlInput& input) {
  if (!input.controller) {
    value = 0.0f;
    return;
  }
  const int32_t axisValue = input.controller->axes[axis % kPlatformControllerAxes];
  const float raw = static_cast<float>(axisValue) / 1000.0f;
  if (raw < -deadZone) {
    value = (raw + deadZone) * scale;
  } else if (raw > deadZone) {
    value = (raw - deadZone) * scale;
  } else {
    value = 0.0f;
  }
}

void CJoystickDX::CAxis::GetBinding(SBinding* out) const { out->first = axis; }

CJoystickDX::CHardwareButton::CHardwareButton(uint8_t deviceIndex, uint8_t buttonIndex)
    : button(buttonIndex) {
  kind = 2;
  device = deviceIndex;
  SetName("%sButton %d", DevicePrefix(device), button + 1);
}

bool CJoystickDX::CHardwareButton::IsPressed(const SControlInput& input) const {
  return input.controller &&
         Pressed(input.controller->buttons[button % kPlatformControllerButtons]);
}

void CJoystickDX::CHardwareButton::GetBinding(SBinding* out) const { out->first = button; }

CJoystickDX::CPovButton::CPovButton(uint8_t deviceIndex, uint8_t hatIndex, uint32_t direction)
    : hat(hatIndex), mask(direction) {
  kind = 3;
  device = deviceIndex;
  SetName("%s%s %s", DevicePrefix(device), kHatNames[hat % kPlatformControllerHats],
          DirectionName(mask));
}

bool CJoystickDX::CPovButton::IsPressed(const SControlInput& input) const {
  return input.controller &&
         (HatSector(input.controller->hats[hat % kPlatformControllerHats]) & mask) != 0;
}

void CJoystickDX::CPovButton::GetBinding(SBinding* out) const {
  out->first = hat;
  out->second = mask;
}

CJoystickDX::CAxisButton::CAxisButton(uint8_t deviceIndex, uint8_t axisIndex, bool isPositive)
    : axis(axisIndex), positive(isPositive ? 1 : 0) {
  kind = 4;
  device = deviceIndex;
  SetName("%s%s%c", DevicePrefix(device), kAxisNames[axis % kPlatformControllerAxes],
          positive ? '+' : '-');
}

bool CJoystickDX::CAxisButton::IsPressed(const SControlInput& input) const {
  if (!input.controller) return false;
  const int32_t raw = input.controller->axes[axis % kPlatformControllerAxes];
  return (positive ? raw : -raw) >= kCentreBand + 1;
}

void CJoystickDX::CAxisButton::GetBinding(SBinding* out) const {
  out->first = axis;
  out->second = positive;
}

CJoystickDX::CKeyboardButton::CKeyboardButton(uint8_t keyCode, const char* keyName)
    : key(keyCode) {
  kind = 5;
  device = kKeyboardDevice;
  SetName("%s", keyName);
}

bool CJoystickDX::CKeyboardButton::IsPressed(const SControlInput& input) const {
  return input.keys && Pressed(input.keys[key]);
}

void CJoystickDX::CKeyboardButton::GetBinding(SBinding* out) const { out->first = key; }

CJoystickDX::CMouseButton::CMouseButton(uint8_t buttonIndex) : button(buttonIndex) {
  kind = 6;
  device = kMouseDevice;
  SetName("Mouse Button %d", button + 1);
}

bool CJoystickDX::CMouseButton::IsPressed(const SControlInput& input) const {
  return input.mouse && Pressed(input.mouse->buttons[button % 8]);
}

void CJoystickDX::CMouseButton::GetBinding(SBinding* out) const { out->first = button; }

CJoystickDX::CMouseWheelButton::CMouseWheelButton(bool isUp) : up(isUp ? 1 : 0) {
  kind = 7;
  device = kMouseDevice;
  SetName("%s", up ? "Wheel Up" : "Wheel Down");
}

bool CJoystickDX::CMouseWheelButton::IsPressed(const SControlInput& input) const {
  if (!input.mouse) return false;
  return up ? input.mouse->wheel > 0 : input.mouse->wheel < 0;
}

void CJoystickDX::CMouseWheelButton::GetBinding(SBinding* out) const { out->first = up ? 255 : 0; }

// ---- Devices --------------------------------------------------------------------------------

CJoystickDX::CJoystickDX() : m_data(new SDeviceBlock()) {
  for (int code = 0; code < 256; ++code) std::snprintf(m_keyNames[code], 16, "KB%d", code);
  OpenKeyboardAndMouse();
  OpenControllers();
}

CJoystickDX::~CJoystickDX() { Shutdown(); }

void CJoystickDX::OpenKeyboardAndMouse() {
  SKeyboardRecord& keyboard = m_data->keyboard;
  keyboard.open = PlatformReadKeyboardDevice(keyboard.current);
  // The game plays with the mouse alone and the menus take keys alone: either missing is
  // worth a report, not the end of the program.
  if (!keyboard.open) HM_REPORT(kCJoystickDXSource, "No keyboard detected");
  for (int code = 0; code < 256; ++code) {
    char name[64];
    if (PlatformVirtualKeyName(static_cast<uint8_t>(code), name, sizeof name)) {
      std::snprintf(m_keyNames[code], 16, "%.15s", name);
    }
  }
  SMouseRecord& mouse = m_data->mouse;
  mouse.open = PlatformReadMouseDevice(&mouse.current);
  if (!mouse.open) HM_REPORT(kCJoystickDXSource, "No mouse detected");
}

void CJoystickDX::OpenControllers() {
  char error[256] = {};
  const int32_t count = PlatformOpenControllers(kMaxControllers, error, sizeof error);
  if (count < 0) {
    HM_REPORT(kCJoystickDXSource, "Playing without game controllers: %s", error);
    return;
  }
  m_data->controllerCount = count;
  for (int32_t index = 0; index < count; ++index) {
    SControllerRecord& record = m_data->controllers[index];
    record.open = true;
    PlatformControllerName(index, record.instanceName, sizeof record.instanceName);
    PlatformControllerName(index, record.productName, sizeof record.productName);
  }
}

void CJoystickDX::Shutdown() {
  if (!m_data) return;
  PlatformCloseControllers();
  for (CControl*& control : m_data->slots) {
    delete control;
    control = nullptr;
  }
  delete m_data;
  m_data = nullptr;
}

void CJoystickDX::StartCapture(uint8_t slot, ECaptureMode mode) {
  m_captureSlot = slot;
  m_captureMode = mode;
}

CJoystickDX::CControl* CJoystickDX::GetBinding(uint8_t slot) const {
  return m_data && slot < kSlotCount ? m_data->slots[slot] : nullptr;
}

void CJoystickDX::Update() {
  if (!m_data) return;
  ReadDevices();
  UpdateControls();
  if (m_captureSlot == kNoCapture) return;
  CControl* found = FindCaptureCandidate();
  if (!found) return;
  found->slot = m_captureSlot;
  delete m_data->slots[m_captureSlot];  // a new binding replaces the old one
  m_data->slots[m_captureSlot] = found;
  m_captureSlot = kNoCapture;
  RebuildActiveList();
}

// A device that cannot be read keeps its last state for this frame and counts as not valid.
void CJoystickDX::ReadDevices() {
  for (int32_t index = 0; index < m_data->controllerCount; ++index) {
    SControllerRecord& record = m_data->controllers[index];
    record.previous = record.current;
    SPlatformControllerState state;
    record.valid = PlatformReadController(index, &state);
    if (record.valid) record.current = state;
  }
  SKeyboardRecord& keyboard = m_data->keyboard;
  std::memcpy(keyboard.previous, keyboard.current, sizeof keyboard.previous);
  keyboard.valid = keyboard.open && PlatformReadKeyboardDevice(keyboard.current);
  SMouseRecord& mouse = m_data->mouse;
  mouse.previous = mouse.current;
  SPlatformMouseState state;
  mouse.valid = mouse.open && PlatformReadMouseDevice(&state);
  if (mouse.valid) mouse.current = state;
}

void CJoystickDX::UpdateControls() {
  for (uint8_t i = 0; i < m_data->activeCount; ++i) {
    CControl* control = m_data->slots[m_data->active[i]];
    if (!control) continue;
    SControlInput input;
    if (control->device == kKeyboardDevice) {
      input.keys = m_data->keyboard.current;
    } else if (control->device == kMouseDevice) {
      input.mouse = &m_data->mouse.current;
    } else if (control->device < m_data->controllerCount &&
               m_data->controllers[control->device].valid) {
      input.controller = &m_data->controllers[control->device].current;
    }
    control->Update(input);
  }
}

CJoystickDX::CControl* CJoystickDX::FindCaptureCandidate() const {
  CControl* found = nullptr;
  if (m_captureMode == kCaptureAxes || m_captureMode == kCaptureBoth) found = FindAxisCandidate();
  if (!found && (m_captureMode == kCaptureButtons || m_captureMode == kCaptureBoth)) {
    found = FindControllerButtonCandidate();
    if (!found) found = FindKeyboardOrMouseCandidate();
  }
  return found;
}

CJoystickDX::CControl* CJoystickDX::FindAxisCandidate() const {
  for (int32_t index = 0; index < m_data->controllerCount; ++index) {
    const SControllerRecord& record = m_data->controllers[index];
    for (uint8_t axis = 0; axis < kPlatformControllerAxes; ++axis) {
      if (!OutsideCentre(record.previous.axes[axis]) && OutsideCentre(record.current.axes[axis])) {
        return MakeControl<CAxis>(static_cast<uint8_t>(index), axis, m_deadZone);
      }
    }
  }
  return nullptr;
}

CJoystickDX::CControl* CJoystickDX::FindControllerButtonCandidate() const {
  for (int32_t index = 0; index < m_data->controllerCount; ++index) {
    const SControllerRecord& record = m_data->controllers[index];
    const uint8_t device = static_cast<uint8_t>(index);
    for (uint8_t button = 0; button < kPlatformControllerButtons; ++button) {
      if (WentDown(record.current.buttons[button], record.previous.buttons[button])) {
        return MakeControl<CHardwareButton>(device, button);
      }
    }
    for (uint8_t hat = 0; hat < kPlatformControllerHats; ++hat) {
      const uint32_t sector = HatSector(record.current.hats[hat]);
      if (sector == 0 || HatSector(record.previous.hats[hat]) != 0) continue;
      // The first of Up, Right, Down that is set; Left only when none of them is.
      uint32_t mask = 8;
      for (uint32_t bit : {1u, 2u, 4u}) {
        if (sector & bit) {
          mask = bit;
          break;
        }
      }
      return MakeControl<CPovButton>(device, hat, mask);
    }
    for (uint8_t axis = 0; axis < kPlatformControllerAxes; ++axis) {
      const int32_t now = record.current.axes[axis];
      if (!OutsideCentre(record.previous.axes[axis]) && OutsideCentre(now)) {
        return MakeControl<CAxisButton>(device, axis, now >= kCentreBand + 1);
      }
    }
  }
  return nullptr;
}

CJoystickDX::CControl* CJoystickDX::FindKeyboardOrMouseCandidate() const {
  const SKeyboardRecord& keyboard = m_data->keyboard;
  for (int code = 0; code < 256; ++code) {
    if (WentDown(keyboard.current[code], keyboard.previous[code])) {
      return MakeControl<CKeyboardButton>(static_cast<uint8_t>(code), m_keyNames[code]);
    }
  }
  const SMouseRecord& mouse = m_data->mouse;
  for (uint8_t button = 0; button < 8; ++button) {
    if (WentDown(mouse.current.buttons[button], mouse.previous.buttons[button])) {
      return MakeControl<CMouseButton>(button);
    }
  }
  const int32_t before = mouse.previous.wheel, now = mouse.current.wheel;
  if (before <= 0 && now > 0) return MakeControl<CMouseWheelButton>(true);
  if (before >= 0 && now < 0) return MakeControl<CMouseWheelButton>(false);
  return nullptr;
}

void CJoystickDX::RebuildActiveList() {
  m_data->activeCount = 0;
  for (uint8_t slot = 0; slot < kSlotCount; ++slot) {
    if (m_data->slots[slot]) m_data->active[m_data->activeCount++] = slot;
  }
}

// ---- The one instance -----------------------------------------------------------------------

CJoystickDX* CreateJoystick() {
  if (!g_joystick) g_joystick = new (std::nothrow) CJoystickDX();
  return g_joystick;
}

void DestroyJoystick() {
  delete g_joystick;
  g_joystick = nullptr;
}

CJoystickDX* GetJoystick() { return g_joystick; }
