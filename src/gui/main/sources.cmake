# Files of src/gui/main (paths relative to src/).
target_sources(velkorlib PRIVATE
)
