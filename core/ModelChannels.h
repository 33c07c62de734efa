// Where one block of the signal model's samples comes from and goes to: the
// host's float channels, or double arrays. A null input channel is silence,
// a null output channel is not written, and outputs may be the inputs
// themselves (the model reads each stretch of samples before writing it).
#pragma once

template <class T>
struct ModelChannels
{
    const T* main[2];
    const T* detector[2];
    T* out[2];
};
