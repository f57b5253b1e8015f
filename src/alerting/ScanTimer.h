#pragma once

// Timer1, which drives the due scan. It is also the lock that keeps the scan
// away from the reminder file: whoever rewrites the file in more than one
// step, or holds an alert open, switches it off and on again.
class ScanTimer
{
public:
    virtual ~ScanTimer() = default;

    virtual void switchOn() = 0;
    virtual void switchOff() = 0;
    virtual bool isOn() const = 0;
};
