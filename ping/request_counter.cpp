#include "ping/request_counter.h"

namespace ping {

RequestCounter& process_request_counter() {
    static RequestCounter counter;
    return counter;
}

}  // namespace ping
