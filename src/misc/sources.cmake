# Files of src/misc (paths relative to src/).
target_sources(velkorlib PRIVATE
)
