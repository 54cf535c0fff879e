// lmq_timeout.h - a time-out of the HTTP library: seconds and microseconds.
#pragma once

struct LmqTimeout {
  long seconds = 0;
  long microseconds = 0;
};
