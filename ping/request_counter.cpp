#include "ping/request_counter.h"

RequestCounter& process_request_counter() {
    static RequestCounter counter;
    return counter;
}
