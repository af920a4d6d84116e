#include "Platform/PlatformDesktop.h"

#include <dbus/dbus.h>
#include <glib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kWallpaperInterface = "org.freedesktop.portal.Wallpaper";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
constexpr const char* kHandleToken = "hollowmere_wallpaper";
// How long the game waits for the portal's call and then for its answer. With the preview
// off the desktop answers at once; a portal that hangs must not hang the game.
constexpr int kCallTimeoutMs = 5000;
constexpr int kAnswerTimeoutMs = 10000;

struct SConnection {
  DBusConnection* bus = nullptr;
  ~SConnection() {
    if (!bus) return;
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
  }
};

struct SMessage {
  DBusMessage* message = nullptr;
  ~SMessage() {
    if (message) dbus_message_unref(message);
  }
};

struct SError {
  DBusError error;
  SError() { dbus_error_init(&error); }
  ~SError() { dbus_error_free(&error); }
  bool IsSet() const { return dbus_error_is_set(&error); }
};

void AppendOption(DBusMessageIter* options, const char* key, int type, const char* signature, const void* value) {
  DBusMessageIter entry, variant;
  dbus_message_iter_open_container(options, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
  dbus_message_iter_append_basic(&variant, type, value);
  dbus_message_iter_close_container(&entry, &variant);
  dbus_message_iter_close_container(options, &entry);
}

// SetWallpaperURI(parent window, uri, options): no parent window, no preview, both screens.
DBusMessage* MakeCall(const std::string& uri) {
  DBusMessage* call = dbus_message_new_method_call(kPortalName, kPortalPath, kWallpaperInterface, "SetWallpaperURI");
  if (!call) return nullptr;
  DBusMessageIter arguments, options;
  dbus_message_iter_init_append(call, &arguments);
  const char* parent = "";
  const char* uriText = uri.c_str();
  dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &parent);
  dbus_message_iter_append_basic(&arguments, DBUS_TYPE_STRING, &uriText);
  dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &options);
  const dbus_bool_t noPreview = FALSE;
  const char* setOn = "both";
  const char* token = kHandleToken;
  AppendOption(&options, "handle_token", DBUS_TYPE_STRING, "s", &token);
  AppendOption(&options, "show-preview", DBUS_TYPE_BOOLEAN, "b", &noPreview);
  AppendOption(&options, "set-on", DBUS_TYPE_STRING, "s", &setOn);
  dbus_message_iter_close_container(&arguments, &options);
  return call;
}

// The request object the portal answers on: its path follows from our name on the bus and the
// token, so the game listens there before it calls and cannot miss a quick answer.
std::string RequestPath(DBusConnection* bus) {
  std::string sender = dbus_bus_get_unique_name(bus);
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return std::string(kPortalPath) + "/request/" + sender + "/" + kHandleToken;
}

bool IsMissingPortal(const char* errorName) {
  const std::string name = errorName ? errorName : "";
  return name == DBUS_ERROR_SERVICE_UNKNOWN || name == DBUS_ERROR_NAME_HAS_NO_OWNER ||
         name == DBUS_ERROR_UNKNOWN_METHOD || name == "org.freedesktop.DBus.Error.UnknownInterface" ||
         name == "org.freedesktop.DBus.Error.UnknownObject";
}

// The Response signal's code: 0 done, 1 cancelled, 2 failed; -1 when the message is not it.
int ResponseCode(DBusMessage* message, const std::string& path) {
  if (!dbus_message_is_signal(message, kRequestInterface, "Response")) return -1;
  const char* from = dbus_message_get_path(message);
  if (!from || path != from) return -1;
  DBusMessageIter arguments;
  if (!dbus_message_iter_init(message, &arguments) || dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_UINT32)
    return 2;
  dbus_uint32_t code = 2;
  dbus_message_iter_get_basic(&arguments, &code);
  return int(code);
}

// Without the bus's address or its socket in the runtime folder the library would try to start
// a bus of its own; the game only talks to one that is there.
bool HasSessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  return runtime && *runtime && std::filesystem::exists(std::string(runtime) + "/bus", error);
}

class CDesktopPortal : public IWallpaperPortal {
 public:
  EAnswer SetWallpaper(const std::string& path, std::string* detail) override {
    std::string note;
    const EAnswer answer = Ask(path, note);
    if (detail) *detail = note;
    return answer;
  }

 private:
  EAnswer Ask(const std::string& path, std::string& note) {
    if (!HasSessionBus()) {
      note = "no session bus";
      return kNoPortal;
    }
    SError error;
    SConnection connection;
    connection.bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error.error);
    if (!connection.bus) {
      note = error.IsSet() ? error.error.message : "no session bus";
      return kNoPortal;
    }
    dbus_connection_set_exit_on_disconnect(connection.bus, FALSE);
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (!uri) {
      note = "the path is not absolute";
      return kRefused;
    }
    const std::string uriText = uri;
    g_free(uri);
    const std::string requestPath = RequestPath(connection.bus);
    const std::string rule = std::string("type='signal',interface='") + kRequestInterface + "',member='Response',path='" +
                             requestPath + "'";
    dbus_bus_add_match(connection.bus, rule.c_str(), nullptr);
    SMessage call{MakeCall(uriText)};
    if (!call.message) {
      note = "out of memory";
      return kRefused;
    }
    SMessage reply{dbus_connection_send_with_reply_and_block(connection.bus, call.message, kCallTimeoutMs, &error.error)};
    if (!reply.message) {
      note = error.IsSet() ? error.error.message : "no reply";
      return error.IsSet() && IsMissingPortal(error.error.name) ? kNoPortal : kRefused;
    }
    return AwaitResponse(connection.bus, requestPath, note);
  }

  EAnswer AwaitResponse(DBusConnection* bus, const std::string& requestPath, std::string& note) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
    while (Clock::now() < end) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (!dbus_connection_read_write(bus, int(left > 0 ? left : 1))) break;
      while (DBusMessage* message = dbus_connection_pop_message(bus)) {
        const int code = ResponseCode(message, requestPath);
        dbus_message_unref(message);
        if (code == 0) return kSet;
        if (code > 0) {
          note = code == 1 ? "the desktop cancelled it" : "the desktop could not set it";
          return kRefused;
        }
      }
    }
    note = "the desktop did not answer";
    return kRefused;
  }
};

}  // namespace

std::string PlatformPicturesFolder() {
  const gchar* pictures = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  std::string folder = pictures && *pictures ? pictures : g_get_home_dir();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::unique_ptr<IWallpaperPortal> PlatformCreateWallpaperPortal() { return std::make_unique<CDesktopPortal>(); }
