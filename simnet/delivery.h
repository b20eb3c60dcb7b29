// Delivery of incoming messages from a driver library's own thread, as a
// network interface does it: a message becomes readable when it is due, and
// the registered routine is called once for it.
//
//   delivery_start(routine);                 // from ldv_register
//   delivery_post(message, delay);           // whenever something arrives
//   if (delivery_take(buffer, size, &n)) ... // from ldv_read
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "../driver/ldv_driver.h"
#include "network_message.h"

// Starts the delivery thread on the first call; later calls change the routine.
void delivery_start(ldv_receive_routine routine);

// Queues `message` to become readable after `delay`, in the order posted.
void delivery_post(const network_message& message,
                   std::chrono::milliseconds delay = std::chrono::milliseconds(0));

// Copies the oldest readable message into `buffer` (at most `size` bytes).
// False when none is readable.
bool delivery_take(void* buffer, std::size_t size);

// The routine registered last, or nullptr.
ldv_receive_routine delivery_routine();
