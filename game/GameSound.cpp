#include "GameSound.h"

#include <Newton.h>

#include <algorithm>
#include <cmath>

#include "GameObjects.h"
#include "GamePause.h"
#include "GameRules.h"
#include "Physics.h"

vAudio audio;

namespace {

vSound rollSound;
vSound coinSound;
vSound lastCoinSound;
vSound blastSound;
vSound goalSound;
vSound restartSound;
vSound clickSound;

// The ball (radius 1) resting on the board (top at y = 0) has its centre at
// y = 1; a little above or below that it is in the air or falling off.
const float kRestingHeight = 1.0f;
const float kContactSlack = 0.15f;
const float kBoardMin = 0.0f;
const float kBoardMax = 90.0f;
// Below this the ball is still; at kFullSpeed and above the loop is at its loudest.
const float kStillSpeed = 0.2f;
const float kFullSpeed = 8.0f;

bool BallOnBoard()
{
    return std::fabs(ballPosition.y - kRestingHeight) < kContactSlack && ballPosition.x >= kBoardMin &&
           ballPosition.x <= kBoardMax && ballPosition.z >= kBoardMin && ballPosition.z <= kBoardMax;
}

float BallSpeedOverBoard()
{
    if (!ballBody) return 0.0f;
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    NewtonBodyGetVelocity(ballBody, velocity);
    return std::sqrt(velocity[0] * velocity[0] + velocity[2] * velocity[2]);
}

}  // namespace

float RollingVolume(float speed)
{
    if (!(speed >= kStillSpeed)) return 0.0f;
    return 0.85f * std::min(speed / kFullSpeed, 1.0f);
}

float RollingPitch(float speed)
{
    const float t = speed > 0.0f ? std::min(speed / kFullSpeed, 1.0f) : 0.0f;
    return 0.6f + 0.8f * t;
}

bool RollingSoundPlaying()
{
    return rollSound.IsLooping();
}

void InitSound()
{
    audio.Init(windowHandle);
    rollSound.LoadSound(audio, "kMedia\\sounds\\roll.wav", 1);
    coinSound.LoadSound(audio, "kMedia\\sounds\\coin.wav");
    lastCoinSound.LoadSound(audio, "kMedia\\sounds\\lastcoin.wav", 2);
    blastSound.LoadSound(audio, "kMedia\\sounds\\blast.wav", 2);
    goalSound.LoadSound(audio, "kMedia\\sounds\\goal.wav", 2);
    restartSound.LoadSound(audio, "kMedia\\sounds\\restart.wav", 2);
    clickSound.LoadSound(audio, "kMedia\\sounds\\click.wav", 6);
}

void PlayCoinSound(bool last)
{
    (last ? lastCoinSound : coinSound).Play();
}

void PlayBlastSound()
{
    blastSound.Play();
}

void PlayGoalSound()
{
    goalSound.Play();
}

void PlayRestartSound()
{
    restartSound.Play();
}

void PlayEditorClick()
{
    clickSound.Play();
}

void UpdateRollingSound()
{
    const bool rolling = !editorMode && !gamePaused && !ballDead && !levelCompleted && BallOnBoard();
    const float speed = rolling ? BallSpeedOverBoard() : 0.0f;
    const float volume = RollingVolume(speed);
    if (volume <= 0.0f) {
        if (rollSound.IsLooping()) rollSound.Stop();
        return;
    }
    rollSound.SetVolume(volume);
    rollSound.SetPitch(RollingPitch(speed));
    rollSound.Loop();
}
