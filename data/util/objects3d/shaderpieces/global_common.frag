// Not used by any composition; kept so the archive holds every piece.
