// A stand-in for the IPC socket of sway and i3, in a process of its own, answering every
// request in one of the ways a real or broken compositor might:
//
//   orvanta-fake-i3ipc SOCKET MODE
//
//   good        workspaces: two, the second focused at 0,30 1280x770; commands: success
//   failing     commands answer success false with a reason
//   short       announces 64 bytes of payload, sends 5, closes
//   oversized   announces 16 MiB of payload
//   wrong-type  answers with message type 7
//   not-json    answers "i3-ipc" with a payload that is not JSON
//   no-magic    answers with a header that does not start with "i3-ipc"
//   silent      reads the request and never answers
//
// Prints "ready" once it listens; every command it receives goes to standard output.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool readAll(int fd, char *buffer, size_t size)
{
    while (size > 0) {
        const ssize_t count = ::read(fd, buffer, size);
        if (count <= 0)
            return false;
        buffer += count;
        size -= size_t(count);
    }
    return true;
}

void writeAll(int fd, const std::string &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        if (count <= 0)
            return;
        sent += size_t(count);
    }
}

std::string header(const char *magic, uint32_t length, uint32_t type)
{
    std::string bytes(magic, 6);
    bytes.append(reinterpret_cast<const char *>(&length), 4);
    bytes.append(reinterpret_cast<const char *>(&type), 4);
    return bytes;
}

void answer(int client, const std::string &mode)
{
    char head[14];
    if (!readAll(client, head, sizeof head))
        return;
    uint32_t length = 0;
    uint32_t type = 0;
    std::memcpy(&length, head + 6, 4);
    std::memcpy(&type, head + 10, 4);
    if (length > 65536)
        return;
    std::string payload(length, '\0');
    if (!readAll(client, payload.data(), length))
        return;
    if (type == 0) {
        std::printf("%s\n", payload.c_str());
        std::fflush(stdout);
    }

    std::string body;
    if (type == 1)
        body = R"([{"num":1,"name":"1","focused":false,"rect":{"x":1280,"y":0,"width":1280,"height":800}},)"
               R"({"num":2,"name":"2","focused":true,"rect":{"x":0,"y":30,"width":1280,"height":770}}])";
    else if (mode == "failing")
        body = R"([{"success":false,"parse_error":false,"error":"No matching node."}])";
    else
        body = R"([{"success":true}])";

    if (mode == "short") {
        writeAll(client, header("i3-ipc", 64, type) + "[{\"su");
    } else if (mode == "oversized") {
        writeAll(client, header("i3-ipc", 16u << 20, type));
    } else if (mode == "wrong-type") {
        writeAll(client, header("i3-ipc", uint32_t(body.size()), 7) + body);
    } else if (mode == "not-json") {
        writeAll(client, header("i3-ipc", 9, type) + "not json!");
    } else if (mode == "no-magic") {
        writeAll(client, header("i3-xyz", uint32_t(body.size()), type) + body);
    } else if (mode == "silent") {
        char rest;
        while (::read(client, &rest, 1) > 0) { }
    } else {
        writeAll(client, header("i3-ipc", uint32_t(body.size()), type) + body);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvanta-fake-i3ipc SOCKET MODE\n");
        return 2;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(argv[1]) >= sizeof address.sun_path)
        return 2;
    std::strcpy(address.sun_path, argv[1]);
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (server < 0 || ::bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(server, 8) != 0) {
        std::perror("orvanta-fake-i3ipc");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    const std::string mode = argv[2];
    for (;;) {
        const int client = ::accept(server, nullptr, nullptr);
        if (client < 0)
            continue;
        answer(client, mode);
        ::close(client);
    }
}
