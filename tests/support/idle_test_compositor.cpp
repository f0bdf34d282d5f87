// A Wayland compositor for tests, just large enough for idle notifications: it advertises wl_seat
// and ext_idle_notifier_v1, prints its socket name on the first line of stdout, then reads
// commands from stdin, one a line: "idled" and "resumed" send that event to every notification.
// Each new notification is reported as "notification TIMEOUT_MS". Ends at the end of stdin.
// Needs XDG_RUNTIME_DIR.
#include <wayland-server.h>
#include <wayland/ext-idle-notify-v1-server-protocol.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Compositor {
    wl_display* display = nullptr;
    std::vector<wl_resource*> notifications;
    std::string input;
};

void removeNotification(wl_resource* resource) {
    auto* c = static_cast<Compositor*>(wl_resource_get_user_data(resource));
    std::erase(c->notifications, resource);
}

void destroyResource(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

const struct ext_idle_notification_v1_interface kNotificationImpl = {destroyResource};

void getIdleNotification(wl_client* client, wl_resource* notifier, uint32_t id, uint32_t timeout, wl_resource*) {
    auto* c = static_cast<Compositor*>(wl_resource_get_user_data(notifier));
    wl_resource* resource = wl_resource_create(client, &ext_idle_notification_v1_interface, 1, id);
    wl_resource_set_implementation(resource, &kNotificationImpl, c, removeNotification);
    c->notifications.push_back(resource);
    std::printf("notification %u\n", timeout);
    std::fflush(stdout);
}

const struct ext_idle_notifier_v1_interface kNotifierImpl = {destroyResource, getIdleNotification};

void bindNotifier(wl_client* client, void* data, uint32_t version, uint32_t id) {
    wl_resource* resource = wl_resource_create(client, &ext_idle_notifier_v1_interface, int(version), id);
    wl_resource_set_implementation(resource, &kNotifierImpl, data, nullptr);
}

// The seat is only named in requests; nobody asks it for devices.
void noDevice(wl_client*, wl_resource*, uint32_t) {}
const struct wl_seat_interface kSeatImpl = {noDevice, noDevice, noDevice, destroyResource};

void bindSeat(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* resource = wl_resource_create(client, &wl_seat_interface, int(version), id);
    wl_resource_set_implementation(resource, &kSeatImpl, nullptr, nullptr);
    wl_seat_send_capabilities(resource, 0);
}

void command(Compositor& c, const std::string& line) {
    for (wl_resource* resource : c.notifications) {
        if (line == "idled")
            ext_idle_notification_v1_send_idled(resource);
        else if (line == "resumed")
            ext_idle_notification_v1_send_resumed(resource);
    }
    wl_display_flush_clients(c.display);
}

int readInput(int fd, uint32_t, void* data) {
    auto& c = *static_cast<Compositor*>(data);
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) {
        wl_display_terminate(c.display);
        return 0;
    }
    c.input.append(buffer, size_t(n));
    for (size_t end; (end = c.input.find('\n')) != std::string::npos; c.input.erase(0, end + 1))
        command(c, c.input.substr(0, end));
    return 0;
}

} // namespace

int main() {
    Compositor c;
    c.display = wl_display_create();
    const char* socket = c.display ? wl_display_add_socket_auto(c.display) : nullptr;
    if (!socket) {
        std::fprintf(stderr, "idle_test_compositor: no Wayland socket (XDG_RUNTIME_DIR?)\n");
        return 1;
    }
    wl_global_create(c.display, &wl_seat_interface, 1, nullptr, bindSeat);
    wl_global_create(c.display, &ext_idle_notifier_v1_interface, 1, &c, bindNotifier);
    wl_event_source* input =
        wl_event_loop_add_fd(wl_display_get_event_loop(c.display), STDIN_FILENO, WL_EVENT_READABLE, readInput, &c);
    std::printf("%s\n", socket);
    std::fflush(stdout);
    wl_display_run(c.display);
    wl_event_source_remove(input);
    wl_display_destroy_clients(c.display);
    wl_display_destroy(c.display);
    return 0;
}
