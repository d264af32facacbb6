"""Runs one check over every SMAF file of the corpus folder and reports each file's outcome."""

import os

# The exit status that ctest counts as a skipped test (the tests' SKIP_RETURN_CODE).
SKIPPED = 77


def missing_corpus_status(corpus):
    """Returns None when the corpus folder is there, else says so and returns the exit status.

    The corpus is third-party content kept beside the checkout, so a clone on its own has none and
    the check skips; under CI (CI=true) it must be there, and its absence fails the check.
    """
    if corpus.is_dir():
        return None
    print(f"the song corpus is not at {corpus} (third-party files kept beside the checkout, "
          "see README.md)")
    return 1 if os.environ.get("CI") == "true" else SKIPPED


def check_every_corpus_file(corpus, check, failure_types):
    """Calls check(path) for each .mmf file of `corpus` in name order and prints what it returns.

    An exception of `failure_types` fails that file and the run goes on with the next; any other
    exception ends the run. Returns the exit status: 1 when a file failed or the folder holds no
    SMAF file, else 0.
    """
    files = sorted(p for p in corpus.iterdir() if p.suffix.lower() == ".mmf")
    failures = 0
    for path in files:
        try:
            print(f"{path.name}: {check(path)}")
        except failure_types as error:
            failures += 1
            print(f"FAIL {path.name}: {error}")
    print(f"{len(files)} files, {failures} failed")
    return 1 if failures or not files else 0
