// post_close CLASS: asks every top-level window of that class to close, as the
// window system does for a close request. Exit code 1 when none was found.
#include <windows.h>

#include <cstdio>

namespace {

struct Request {
    const char* className;
    int posted = 0;
};

BOOL CALLBACK PostClose(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<Request*>(param);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, request->className) == 0 && PostMessageA(window, WM_CLOSE, 0, 0)) ++request->posted;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: post_close CLASS\n");
        return 2;
    }
    Request request{argv[1]};
    EnumWindows(PostClose, reinterpret_cast<LPARAM>(&request));
    return request.posted > 0 ? 0 : 1;
}
