#include "fakeclock.h"

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}
