#pragma once

// The stages the upload worker reports to its progress dialog (wParam of
// WM_RUNNER_STAGE), in the order they come; 4 repeats, 7 always comes last.
enum UploadStage : unsigned {
    kStageFetchConfiguration = 1,  // record: none
    kStageCheckConfiguration = 2,  // kesh::StringPair: configuration body / entry address
    kStageStartPost = 3,           // record: none
    kStagePostProgress = 4,        // the POST's statistics (an active copy)
    kStageAwaitAnswer = 5,         // record: none
    kStageCheckAnswer = 6,         // kesh::String: the answer body / why it is refused
    kStageFinished = 7,            // RunnerResult
};
